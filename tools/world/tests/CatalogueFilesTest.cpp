// The item catalogue and its pictures read back: the catalogue decoded record by record from its
// stored layout, every item it offers loaded through the engine's own readers, the pictures read
// as the bitmaps the client loads, and the built home folder answering the paths as the client
// spells them.
#include "AvatarItems.h"
#include "FileReaders.h"
#include "GeneratedTree.h"
#include "ItemCatalogue.h"

#include "KRAItemFormat.h"
#include "KRATextureFormat.h"

#include <d3dx8.h>
#include <windows.h>
#include <yonda_platform.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <unistd.h>

namespace world::check {
namespace {

// ---- the catalogue, read the way the client reads it ----

// Records end with a zero byte and are stored complemented; a record of 800 bytes or more ends
// the reading, and bytes after the last zero belong to no record.
std::vector<std::string> DecodeRecords(const Bytes& bytes)
{
    std::vector<std::string> records;
    std::string record;
    for (std::uint8_t b : bytes) {
        if (b == 0) {
            records.push_back(record);
            record.clear();
            continue;
        }
        record.push_back(static_cast<char>(~b));
        if (record.size() >= 800)
            break;
    }
    return records;
}

std::vector<std::string> Split(const std::string& row)
{
    std::vector<std::string> fields(1);
    for (char c : row) {
        if (c == ',')
            fields.emplace_back();
        else
            fields.back().push_back(c);
    }
    return fields;
}

struct Row {
    int gender = 0, category = 0; // of the category row it stands under
    std::vector<std::string> f;
    bool Variant() const { return f[6] != "0"; }
    int Number() const { return std::atoi(f[5].substr(3, 3).c_str()); }
};

struct Catalogue {
    std::vector<std::pair<std::string, int>> categories; // name and declared count, in file order
    std::vector<Row> rows;
};

Catalogue ReadCatalogue()
{
    static const char* const kStems[] = {"hair", "face", "up", "low", "footwear", "handitem", "hairitem"};
    Catalogue c;
    std::vector<std::string> records = DecodeRecords(AvatarTree().Get(kCataloguePath));
    int gender = 0, category = -1;
    bool skip = false;
    for (const std::string& record : records) {
        if (skip) {
            skip = false;
            continue;
        }
        std::vector<std::string> fields = Split(record);
        bool starts = false;
        for (int g = 1; g <= 2 && !starts; ++g)
            for (int k = 0; k < 7; ++k)
                if (fields[0] == std::string(g == 1 ? "man_" : "lady_") + kStems[k]) {
                    c.categories.push_back({fields[0], std::atoi(fields.at(1).c_str())});
                    gender = g;
                    category = k;
                    starts = skip = true;
                    break;
                }
        if (!starts)
            c.rows.push_back({gender, category, fields});
    }
    return c;
}

const Catalogue& TheCatalogue()
{
    static const Catalogue c = ReadCatalogue();
    return c;
}

TEST(ItemCatalogue, HoldsTheFourteenCategoriesEachWithItsDeclaredCount)
{
    const Bytes& bytes = AvatarTree().Get(kCataloguePath);
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(bytes.back(), 0) << "the last record is closed";
    const Catalogue& c = TheCatalogue();
    const std::vector<std::string> expected = {
        "man_hair",  "man_face",  "man_up",  "man_low",  "man_footwear",  "man_handitem",  "man_hairitem",
        "lady_hair", "lady_face", "lady_up", "lady_low", "lady_footwear", "lady_handitem", "lady_hairitem"};
    ASSERT_EQ(c.categories.size(), expected.size());
    std::map<std::pair<int, int>, int> counted;
    for (const Row& row : c.rows)
        ++counted[{row.gender, row.category}];
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(c.categories[i].first, expected[i]);
        int gender = static_cast<int>(i / 7) + 1, category = static_cast<int>(i % 7);
        EXPECT_GE(c.categories[i].second, 1);
        EXPECT_EQ(c.categories[i].second, (counted[{gender, category}])) << expected[i];
    }
    for (const std::string& record : DecodeRecords(bytes))
        EXPECT_LT(record.size(), 800u);
}

TEST(ItemCatalogue, RowsFitTheRecordAndNameTheirFilesCodesAndVariants)
{
    const Catalogue& c = TheCatalogue();
    std::set<std::string> codes;
    for (std::size_t i = 0; i < c.rows.size(); ++i) {
        const Row& row = c.rows[i];
        SCOPED_TRACE(row.f[0]);
        ASSERT_EQ(row.f.size(), 8u);
        EXPECT_FALSE(row.f[1].empty());
        EXPECT_LE(row.f[1].size(), 51u);
        EXPECT_LE(row.f[4].size(), 29u);
        EXPECT_LE(row.f[5].size(), 19u);
        EXPECT_LE(row.f[6].size(), 49u);
        EXPECT_LE(row.f[7].size(), 299u);
        for (const std::string& field : row.f)
            for (char ch : field)
                EXPECT_TRUE(ch >= 0x20 && ch < 0x7F) << "plain ASCII: " << field;
        // The file code: gender, a digit the client skips, category, three digits of the number.
        const std::string& file = row.f[5];
        ASSERT_EQ(file.size(), 6u);
        EXPECT_EQ(file[0] - '0', row.gender);
        EXPECT_EQ(file[2] - '0', row.category);
        std::string stem = ItemFileName(row.gender, row.category, row.Number());
        EXPECT_EQ(row.f[0], stem.substr(0, 6) + (row.Variant() ? "1" : "0"));
        EXPECT_TRUE(codes.insert(row.f[0]).second) << "codes are unique";
        if (row.Variant()) {
            // A variant names its texture and follows its plain item at once.
            EXPECT_EQ(row.f[6], ItemTextureName(row.gender, row.category, row.Number(), 1));
            ASSERT_GT(i, 0u);
            EXPECT_EQ(c.rows[i - 1].f[5], file);
            EXPECT_FALSE(c.rows[i - 1].Variant());
            // What the avatar creation lists leaves it out; the shop reads it as an option.
            EXPECT_GT(row.f[6].size(), 5u);
            EXPECT_NE(std::atoi(row.f[6].c_str()), 0);
        } else {
            EXPECT_EQ(row.f[6], "0");
        }
        std::string price = row.f[2];
        EXPECT_EQ(std::to_string(std::atoi(price.c_str())), price);
        EXPECT_EQ(row.f[3], std::atoi(price.c_str()) > 0 ? "1" : "0") << "on sale exactly when it costs points";
    }
}

TEST(ItemCatalogue, EveryCategoryHasFreeStartingItemsAndAffordablePrices)
{
    std::map<std::pair<int, int>, std::vector<int>> prices;
    for (const Row& row : TheCatalogue().rows)
        if (!row.Variant())
            prices[{row.gender, row.category}].push_back(std::atoi(row.f[2].c_str()));
    for (const auto& [key, list] : prices) {
        SCOPED_TRACE(std::to_string(key.first) + "/" + std::to_string(key.second));
        ASSERT_GE(list.size(), 2u);
        EXPECT_EQ(list[0], 0);
        EXPECT_EQ(list[1], 0);
        if (key.second != kFaceCategory) {
            EXPECT_GT(*std::max_element(list.begin(), list.end()), 0) << "something to buy";
        }
    }
    // The shop keeps its basket total in 16 bits: the dearest item of every category together fit.
    for (int gender = 1; gender <= 2; ++gender) {
        int total = 0;
        for (int category = 0; category < 7; ++category) {
            int dearest = 0;
            for (const Row& row : TheCatalogue().rows)
                if (row.gender == gender && row.category == category)
                    dearest = std::max(dearest, std::atoi(row.f[2].c_str()));
            total += dearest;
        }
        EXPECT_LT(total, 32768);
        EXPECT_LE(total, 10000) << "a demo member's points buy a full outfit";
    }
}

TEST(ItemCatalogue, OffersAtLeastFiveLooksOfEachCategoryForEachKind)
{
    std::map<std::pair<int, int>, std::set<std::string>> names;
    std::map<std::pair<int, int>, std::set<Bytes>> looks;
    for (const Row& row : TheCatalogue().rows) {
        names[{row.gender, row.category}].insert(row.f[1]);
        std::string texture = ItemTextureName(row.gender, row.category, row.Number(), row.Variant() ? 1 : 0);
        // A look is its shape and its texture together.
        Bytes look = AvatarTree().Get(kItemFolder + ItemFileName(row.gender, row.category, row.Number()));
        const Bytes& pixels = AvatarTree().Get(kItemFolder + texture);
        look.insert(look.end(), pixels.begin(), pixels.end());
        looks[{row.gender, row.category}].insert(look);
    }
    for (int gender = 1; gender <= 2; ++gender)
        for (int category = 0; category < 7; ++category) {
            std::pair<int, int> key{gender, category};
            EXPECT_GE(looks[key].size(), 5u) << gender << "/" << category;
            std::size_t rows = 0;
            for (const Row& row : TheCatalogue().rows)
                rows += row.gender == gender && row.category == category;
            EXPECT_EQ(names[key].size(), rows) << "every row has its own name";
            EXPECT_EQ(looks[key].size(), rows) << "no two rows look alike";
        }
}

// ---- every item through the engine's readers ----

std::filesystem::path ScratchFile(const std::string& name)
{
    return std::filesystem::temp_directory_path() / ("yonda-catalogue-" + std::to_string(getpid()) + "-" + name);
}

// The picture a KRT wraps, decoded by the texture loader the engine hands it to.
D3DXIMAGE_INFO DecodeTexture(const std::string& name)
{
    const Bytes& krt = AvatarTree().Get(kItemFolder + name);
    const std::uint8_t* image = nullptr;
    std::size_t size = 0;
    D3DXIMAGE_INFO info{};
    if (!KRAParseTextureFile(krt.data(), krt.size(), image, size)) {
        ADD_FAILURE() << name << " is no KRT";
        return info;
    }
    std::filesystem::path scratch = ScratchFile(name);
    std::ofstream(scratch, std::ios::binary)
        .write(reinterpret_cast<const char*>(image), static_cast<std::streamsize>(size));
    EXPECT_EQ(D3DXGetImageInfoFromFileA(scratch.c_str(), &info), D3D_OK) << name;
    std::filesystem::remove(scratch);
    return info;
}

TEST(ItemCatalogue, EveryItemAndTextureItNamesLoadsThroughTheEngineReaders)
{
    std::size_t checked = 0;
    for (const Row& row : TheCatalogue().rows) {
        std::string file = ItemFileName(row.gender, row.category, row.Number());
        SCOPED_TRACE(file);
        ASSERT_TRUE(AvatarTree().Has(kItemFolder + file));
        const Bytes& bytes = AvatarTree().Get(kItemFolder + file);
        KRA_ITEM_FILE_DATA item;
        ASSERT_EQ(KRAParseItemFile(bytes.data(), bytes.size(), KindOfCategory(row.category), item), 0);
        // The engine refuses an item whose code is not part of its path.
        EXPECT_NE(file.find(std::to_string(item.adwHeader[2])), std::string::npos);
        ASSERT_FALSE(item.vMaterials.empty());
        for (const KRA_ITEM_MATERIAL_DATA& material : item.vMaterials) {
            ASSERT_FALSE(material.vTextures.empty());
            D3DXIMAGE_INFO info = DecodeTexture(material.vTextures[0].strName);
            EXPECT_EQ(info.Width, 128u);
            EXPECT_EQ(info.Height, 128u);
        }
        if (KindOfCategory(row.category) == KRA_ITEM_UPPER_BODY) {
            const Bytes& companion = AvatarTree().Get(kItemFolder + KRAItemCompanionPath(file));
            std::vector<DWORD> swell, bounce;
            EXPECT_EQ(
                KRAParseItemCompanion(companion.data(), companion.size(), item.vMeshes[0].VertexCount(), swell, bounce),
                0);
        }
        if (row.Variant()) {
            D3DXIMAGE_INFO info = DecodeTexture(row.f[6]);
            EXPECT_EQ(info.Width, 128u);
        }
        ++checked;
    }
    EXPECT_GE(checked, 2u * 7 * 5);
}

// ---- the pictures, as the client's bitmap loader reads them ----

struct Bitmap {
    int width = 0, height = 0;
    std::vector<Rgba> pixels; // top row first
    const Rgba& At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// A whole BMP file: 14-byte file header, 40-byte information header, 24-bit rows bottom-up,
// each padded to four bytes, right after the headers (no colour table).
Bitmap ReadBitmap(const Bytes& bytes)
{
    ByteReader r(bytes);
    Bitmap b;
    EXPECT_EQ(r.U16(), 0x4D42);
    EXPECT_EQ(r.U32(), bytes.size());
    r.U32();
    std::uint32_t offset = r.U32();
    EXPECT_EQ(offset, 54u);
    EXPECT_EQ(r.U32(), 40u);
    b.width = r.I32();
    b.height = r.I32();
    EXPECT_GT(b.height, 0) << "stored bottom-up";
    EXPECT_EQ(r.U16(), 1);
    EXPECT_EQ(r.U16(), 24);
    EXPECT_EQ(r.U32(), 0u) << "not compressed";
    r.Skip(12);
    EXPECT_EQ(r.U32(), 0u) << "no colour table";
    r.U32();
    b.pixels.resize(static_cast<std::size_t>(b.width) * b.height);
    std::size_t padding = (4 - (b.width * 3) % 4) % 4;
    for (int y = b.height - 1; y >= 0; --y) {
        for (int x = 0; x < b.width; ++x) {
            Rgba& p = b.pixels[static_cast<std::size_t>(y) * b.width + x];
            p.b = r.U8();
            p.g = r.U8();
            p.r = r.U8();
        }
        r.Skip(padding);
    }
    EXPECT_TRUE(r.AtEnd());
    return b;
}

TEST(ItemPictures, EachCategoryHasOneStripOfFortyTwoPixelCellsTenARow)
{
    for (int gender = 1; gender <= 2; ++gender)
        for (int category = 0; category < 7; ++category) {
            std::string name = CategoryPictureName(gender, category);
            std::size_t rows = 0;
            for (const Row& row : TheCatalogue().rows)
                rows += row.gender == gender && row.category == category;
            if (category == kFaceCategory) {
                EXPECT_TRUE(name.empty());
                continue;
            }
            SCOPED_TRACE(name);
            EXPECT_EQ(name, "p" + std::to_string(gender) + std::to_string(category == 0 ? 1 : category) + ".bmp");
            ASSERT_TRUE(AvatarTree().Has(kItemPictureFolder + name));
            Bitmap b = ReadBitmap(AvatarTree().Get(kItemPictureFolder + name));
            EXPECT_EQ(b.width, 420);
            EXPECT_EQ(b.height, 42 * static_cast<int>((rows + 9) / 10));
        }
    Bitmap worn = ReadBitmap(AvatarTree().Get(kWornPlaceholderPath));
    EXPECT_EQ(worn.width, 50);
    EXPECT_EQ(worn.height, 50);
}

// The colour a texture shows most in its garment area (the whole picture for hair).
Rgba MainColour(const Image& texture, bool whole)
{
    std::map<std::uint32_t, int> counts;
    int height = whole ? texture.Height() : texture.Height() * 72 / 100;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < texture.Width(); ++x) {
            const Rgba& p = texture.At(x, y);
            ++counts[(p.r / 16u) << 16 | (p.g / 16u) << 8 | (p.b / 16u)];
        }
    auto best = std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) { return a.second < b.second; });
    return {static_cast<std::uint8_t>((best->first >> 16) * 16 + 8),
            static_cast<std::uint8_t>((best->first >> 8 & 255) * 16 + 8),
            static_cast<std::uint8_t>((best->first & 255) * 16 + 8), 255};
}

// Pixels of the cell that are the colour under some light: a multiple of it, give or take.
int PixelsInColour(const Bitmap& b, int x0, int y0, Rgba colour)
{
    int found = 0;
    float cc = static_cast<float>(colour.r * colour.r + colour.g * colour.g + colour.b * colour.b);
    for (int y = y0 + 1; y < y0 + 41; ++y)
        for (int x = x0 + 1; x < x0 + 41; ++x) {
            const Rgba& p = b.At(x, y);
            float k = (p.r * colour.r + p.g * colour.g + p.b * colour.b) / cc;
            if (k < 0.45f || k > 1.2f)
                continue;
            if (std::abs(p.r - k * colour.r) < 16 && std::abs(p.g - k * colour.g) < 16 &&
                std::abs(p.b - k * colour.b) < 16)
                ++found;
        }
    return found;
}

TEST(ItemPictures, EveryCellShowsItsItemInTheColoursItWears)
{
    Studio studio(TestOptions().fontPath);
    std::vector<ItemRecipe> recipes = ItemRecipes();
    for (int gender = 1; gender <= 2; ++gender)
        for (int category = 0; category < 7; ++category) {
            if (category == kFaceCategory)
                continue;
            Bitmap strip = ReadBitmap(AvatarTree().Get(kItemPictureFolder + CategoryPictureName(gender, category)));
            std::vector<CatalogueItem> items = CatalogueItems(recipes, gender, category);
            for (std::size_t i = 0; i < items.size(); ++i) {
                const ItemRecipe& r = *items[i].recipe;
                SCOPED_TRACE(ItemTextureName(gender, category, r.number, items[i].variant ? 1 : 0));
                Image texture = PaintTexture(
                    {"x.png", 128, 128, ImageFormat::Png, items[i].variant ? r.paintVariant : r.paint}, studio);
                Rgba main = MainColour(texture, category == kHairCategory);
                int x0 = static_cast<int>(i % 10) * 42, y0 = static_cast<int>(i / 10) * 42;
                EXPECT_GE(PixelsInColour(strip, x0, y0, main), 12)
                    << "main colour " << int(main.r) << "," << int(main.g) << "," << int(main.b);
                if (items[i].variant) {
                    // The variant's cell follows its plain item's cell and differs from it.
                    int px = static_cast<int>((i - 1) % 10) * 42, py = static_cast<int>((i - 1) / 10) * 42;
                    int differing = 0;
                    for (int y = 0; y < 42; ++y)
                        for (int x = 0; x < 42; ++x)
                            differing += !(strip.At(x0 + x, y0 + y) == strip.At(px + x, py + y));
                    EXPECT_GT(differing, 100);
                }
            }
        }
}

// ---- the built home folder, through the platform's file names ----

std::string HomeFolder()
{
    const char* build = std::getenv("YONDA_BINARY_DIR");
    std::string home = std::string(build ? build : ".") + "/yonda";
    for (char& c : home)
        if (c == '/')
            c = '\\';
    return home;
}

TEST(ItemCatalogue, TheBuiltHomeAnswersThePathsAsTheClientSpellsThem)
{
    std::string home = HomeFolder();
    auto exists = [](const std::string& path) {
        DWORD attributes = GetFileAttributesA(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    };
    ASSERT_TRUE(exists(home + "\\data\\item\\item.dsv")) << home;
    EXPECT_TRUE(exists(home + "\\Data\\Item\\ii_itemu.bmp"));
    for (int gender = 1; gender <= 2; ++gender)
        for (int picture = 1; picture <= 6; ++picture)
            EXPECT_TRUE(exists(home + "\\Data\\Item\\p" + std::to_string(gender) + std::to_string(picture) + ".bmp"));
    // The avatar loader spells the item folder in lower case, the other loads in capitals.
    for (const Row& row : TheCatalogue().rows) {
        std::string file = ItemFileName(row.gender, row.category, row.Number());
        EXPECT_TRUE(exists(home + "\\Data\\Avatar\\kri\\" + file)) << file;
        EXPECT_TRUE(exists(home + "\\Data\\Avatar\\KRI\\" + file)) << file;
        if (row.Variant()) {
            EXPECT_TRUE(exists(home + "\\Data\\Avatar\\KRI\\" + row.f[6])) << row.f[6];
        }
    }
    // The installed catalogue is the one generated here.
    std::ifstream in(YondaHostPath((home + "\\data\\item\\item.dsv").c_str()), std::ios::binary);
    Bytes installed((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(installed == AvatarTree().Get(kCataloguePath));
}

} // namespace
} // namespace world::check
