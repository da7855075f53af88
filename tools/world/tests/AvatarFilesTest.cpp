// The avatar item folder read back: items of every category, face sets, companions and lists.
#include "AvatarItems.h"
#include "FileReaders.h"
#include "GeneratedTree.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>

namespace world::check {
namespace {

std::vector<std::string> ItemFiles(const std::string& extension)
{
    std::vector<std::string> names;
    for (const auto& [path, bytes] : AvatarTree().Files())
        if (path.rfind(kItemFolder, 0) == 0 && EndsWith(path, extension))
            names.push_back(path.substr(kItemFolder.size()));
    return names;
}

const Bytes& ItemBytes(const std::string& name)
{
    return AvatarTree().Get(kItemFolder + name);
}

std::uint32_t KindOfName(const std::string& name)
{
    return KindOfCategory(name[2] - '0');
}

KriFile ReadItem(const std::string& name)
{
    return ReadKri(ItemBytes(name), KindOfName(name));
}

TEST(AvatarItems, EveryCategoryHasAtLeastFiveItemsForEachKind)
{
    for (int gender = 1; gender <= 2; ++gender)
        for (int category = 0; category <= 6; ++category)
            for (int number = 0; number <= 4; ++number)
                EXPECT_TRUE(AvatarTree().Has(kItemFolder + ItemFileName(gender, category, number)))
                    << ItemFileName(gender, category, number);
    // Every recipe is written, and nothing else is.
    std::set<std::string> expected;
    for (const ItemRecipe& r : ItemRecipes())
        expected.insert(ItemFileName(r.gender, r.category, r.number));
    std::vector<std::string> written = ItemFiles(".KRI");
    EXPECT_EQ(std::set<std::string>(written.begin(), written.end()), expected);
}

TEST(AvatarItems, EveryFaceFollowsAHair)
{
    // The client loads the face with its hair's number, so each hair has a face of that number.
    for (const ItemRecipe& r : ItemRecipes()) {
        if (r.category == kHairCategory) {
            EXPECT_TRUE(AvatarTree().Has(kItemFolder + ItemFileName(r.gender, kFaceCategory, r.number)))
                << ItemFileName(r.gender, kHairCategory, r.number);
        }
    }
}

TEST(AvatarItems, EveryItemParsesAndCarriesItsOwnCode)
{
    auto names = ItemFiles(".KRI");
    ASSERT_EQ(names.size(), ItemRecipes().size());
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        KriFile item = ReadItem(name);
        // The engine refuses an item whose code, in decimal, is not part of its path.
        EXPECT_NE(name.find(std::to_string(item.code)), std::string::npos);
        ASSERT_FALSE(item.materials.empty());
        for (const auto& material : item.materials) {
            ASSERT_EQ(material.size(), 1u);
            EXPECT_LT(material[0].name.size(), 48u);
            EXPECT_TRUE(AvatarTree().Has(kItemFolder + material[0].name)) << material[0].name;
        }
        ASSERT_FALSE(item.meshes.empty());
        for (const KriMesh& mesh : item.meshes) {
            EXPECT_LT(mesh.name.size(), 32u);
            EXPECT_LT(mesh.material, item.materials.size());
            EXPECT_EQ(mesh.hasUv, 1);
            EXPECT_EQ(mesh.uvs.size(), mesh.positions.size());
            ASSERT_FALSE(mesh.faces.empty());
            for (const auto& face : mesh.faces)
                for (std::uint16_t index : face)
                    ASSERT_LT(index, mesh.positions.size());
        }
    }
}

TEST(AvatarItems, SkinnedItemsBindEveryVertexWithWeightsSummingToOne)
{
    for (const std::string& name : ItemFiles(".KRI")) {
        std::uint32_t kind = KindOfName(name);
        if (kind < 0x20802 || kind > 0x20805)
            continue;
        SCOPED_TRACE(name);
        for (const KriMesh& mesh : ReadItem(name).meshes) {
            if (mesh.name == "shadow") {
                EXPECT_TRUE(mesh.bindings.empty());
                continue;
            }
            std::vector<float> total(mesh.positions.size(), 0);
            for (const KriBinding& b : mesh.bindings) {
                EXPECT_GE(b.bone, 0x100101u);
                EXPECT_LT(b.bone, 0x100101u + 25);
                for (std::size_t i = 0; i < b.vertices.size(); ++i) {
                    ASSERT_LT(b.vertices[i], mesh.positions.size());
                    total[b.vertices[i]] += b.weights[i];
                }
            }
            for (std::size_t v = 0; v < total.size(); ++v)
                ASSERT_NEAR(total[v], 1.0f, 1e-4f) << mesh.name << " vertex " << v;
        }
    }
}

TEST(AvatarItems, LowerBodiesCarryTheBlendedShadow)
{
    for (const std::string& name : ItemFiles(".KRI")) {
        if (name[2] != '3')
            continue;
        KriFile item = ReadItem(name);
        const KriMesh* shadow = nullptr;
        for (const KriMesh& mesh : item.meshes)
            if (mesh.name == "shadow")
                shadow = &mesh;
        ASSERT_NE(shadow, nullptr) << name;
        EXPECT_EQ(item.materials.at(shadow->material)[0].alpha, 1) << name;
        for (const Vec3& p : shadow->positions)
            EXPECT_NEAR(p.y, 0.15f, 1e-4f);
    }
}

TEST(AvatarItems, FacesHaveTenTargetsAndTheFifthClosesTheEyes)
{
    for (const std::string& name : ItemFiles(".KRI")) {
        if (name[2] != '1')
            continue;
        SCOPED_TRACE(name);
        KriFile face = ReadItem(name);
        ASSERT_EQ(face.meshes.front().name, "FACE");
        ASSERT_EQ(face.faceSet.size(), 10u);
        std::size_t vertices = face.meshes.front().positions.size();
        for (std::size_t t = 0; t < face.faceSet.size(); ++t) {
            const KriTarget& target = face.faceSet[t];
            ASSERT_FALSE(target.vertices.empty()) << "target " << t;
            for (std::size_t i = 0; i < target.vertices.size(); ++i) {
                ASSERT_LT(target.vertices[i], vertices);
                if (i > 0) {
                    ASSERT_GT(target.vertices[i], target.vertices[i - 1]) << "ascending";
                }
            }
        }
        // Applied as p -= weight x offset: closing the eyes moves the lids down.
        for (const Vec3& offset : face.faceSet[4].offsets)
            EXPECT_GT(offset.y, 0.5f);
        // Every target differs from every other.
        for (std::size_t a = 0; a < 10; ++a)
            for (std::size_t b = a + 1; b < 10; ++b) {
                bool same = face.faceSet[a].vertices == face.faceSet[b].vertices;
                for (std::size_t i = 0; same && i < face.faceSet[a].offsets.size(); ++i)
                    same = Length(face.faceSet[a].offsets[i] - face.faceSet[b].offsets[i]) < 1e-4f;
                EXPECT_FALSE(same) << a << " and " << b;
            }
    }
}

TEST(AvatarItems, UpperBodiesHaveCompanionListsOfTheirFirstMesh)
{
    for (const std::string& name : ItemFiles(".KRI")) {
        if (name[2] != '2')
            continue;
        SCOPED_TRACE(name);
        std::string companion = name.substr(0, name.size() - 1) + "e";
        ASSERT_TRUE(AvatarTree().Has(kItemFolder + companion));
        ByteReader r(ItemBytes(companion));
        std::uint32_t a = r.U32(), b = r.U32();
        EXPECT_GT(a, 0u);
        EXPECT_GT(b, 0u);
        std::size_t vertices = ReadItem(name).meshes.front().positions.size();
        for (std::uint32_t i = 0; i < a + b; ++i)
            EXPECT_LT(r.U32(), vertices);
        EXPECT_TRUE(r.AtEnd());
    }
}

TEST(AvatarItems, HeldItemsFollowTheBoneTheirNameChooses)
{
    // The engine takes bone 10 when the ninth character from the end of the path is '5'.
    for (const std::string& name : ItemFiles(".KRI")) {
        if (KindOfName(name) != 0x20806)
            continue;
        SCOPED_TRACE(name);
        bool hand = name[name.size() - 9] == '5';
        EXPECT_EQ(hand, name[2] == '5');
        Skeleton k = Skeleton::Build(name[0] == '2' ? FemaleBody() : MaleBody());
        Vec3 anchor = hand ? k.joints[kRightHand] : k.joints[kHead];
        Vec3 sum;
        std::size_t count = 0;
        for (const KriMesh& mesh : ReadItem(name).meshes)
            for (const Vec3& p : mesh.positions) {
                sum += p;
                ++count;
            }
        Vec3 centre = sum * (1.0f / count);
        EXPECT_LT(Length(centre - anchor), hand ? 24.0f : 8.0f);
    }
}

TEST(AvatarItems, TheDressedDefaultsStandAboutFiftyUnitsTallWithinTheCullBox)
{
    for (const char* list : {"10001.KRA", "20001.KRA"}) {
        SCOPED_TRACE(list);
        Vec3 lo{1e9f, 1e9f, 1e9f}, hi{-1e9f, -1e9f, -1e9f};
        for (const auto& [kind, file] : ReadKra(ItemBytes(list)).items) {
            if (kind == 0x20806)
                continue; // held things may reach out
            for (const KriMesh& mesh : ReadKri(ItemBytes(file), kind).meshes)
                for (const Vec3& p : mesh.positions) {
                    lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
                    hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
                }
        }
        EXPECT_NEAR(lo.y, 0, 0.3f) << "feet at 0";
        EXPECT_GT(hi.y, 46);
        EXPECT_LT(hi.y, 54);
        for (float v : {lo.x, lo.z, hi.x, hi.z})
            EXPECT_LT(std::fabs(v), 10.0f);
    }
}

TEST(AvatarLists, NameTheWholeDefaultOutfit)
{
    std::map<std::string, std::uint32_t> keys = {{"10001.KRA", 10001}, {"20001.KRA", 20001}};
    for (const auto& [name, key] : keys) {
        KraFile list = ReadKra(ItemBytes(name));
        EXPECT_EQ(list.h1, 0x00010001u);
        EXPECT_EQ(list.h2, 4u);
        EXPECT_EQ(list.key, key);
        std::map<std::uint32_t, int> kinds;
        for (const auto& [kind, file] : list.items) {
            EXPECT_TRUE(AvatarTree().Has(kItemFolder + file)) << file;
            EXPECT_EQ(file[0], name[0]) << "items of the list's own kind";
            EXPECT_EQ(kind, KindOfName(file));
            ++kinds[kind];
        }
        for (std::uint32_t kind = 0x20801; kind <= 0x20806; ++kind)
            EXPECT_EQ(kinds[kind], 1) << std::hex << kind;
    }
}

TEST(AvatarItems, DefaultsAndFallbacksTheClientLooksFor)
{
    for (int gender = 1; gender <= 2; ++gender) {
        for (int category : {0, 2, 3, 4})
            EXPECT_TRUE(AvatarTree().Has(kItemFolder + ItemFileName(gender, category, 0)));
        // Item 001 of every category is the fallback for a missing number; the face follows the hair.
        for (int category = 0; category <= 6; ++category)
            EXPECT_TRUE(AvatarTree().Has(kItemFolder + ItemFileName(gender, category, 1)));
        for (int hair = 0; hair <= 2; ++hair)
            EXPECT_TRUE(AvatarTree().Has(kItemFolder + ItemFileName(gender, 1, hair)));
        for (int category : {0, 2, 3, 4})
            for (int number = 0; number <= 2; ++number) {
                EXPECT_TRUE(AvatarTree().Has(kItemFolder + ItemTextureName(gender, category, number, 0)));
                EXPECT_TRUE(AvatarTree().Has(kItemFolder + ItemTextureName(gender, category, number, 1)));
            }
    }
}

} // namespace
} // namespace world::check
