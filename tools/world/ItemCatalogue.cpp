#include "ItemCatalogue.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace world {

namespace {

const char* const kCategoryStems[kCategoryCount] = {"hair", "face", "up", "low", "footwear", "handitem", "hairitem"};

std::string Checked(const std::string& field, std::size_t width, const std::string& what)
{
    if (field.size() > width)
        throw std::invalid_argument("catalogue " + what + " too long: " + field);
    if (field.find(',') != std::string::npos)
        throw std::invalid_argument("catalogue " + what + " holds a comma: " + field);
    return field;
}

std::string ItemRow(const CatalogueItem& row)
{
    const ItemRecipe& r = *row.recipe;
    const ShopEntry& shop = r.shop;
    int price = row.variant ? shop.variantPrice : shop.price;
    std::string name = row.variant ? shop.variantName : shop.name;
    std::string file = ItemFileName(r.gender, r.category, r.number);
    file = file.substr(0, file.find('.') - 1);
    std::string texture = row.variant ? ItemTextureName(r.gender, r.category, r.number, 1) : "0";
    std::string text =
        std::to_string(ItemCode(r.gender, r.category, r.number) + (row.variant ? 1 : 0)) + "," +
        Checked(name, kCatalogueNameMax, "name") + "," + std::to_string(price) + "," + (price > 0 ? "1" : "0") + "," +
        Checked(shop.text, kCatalogueTextMax, "text") + "," + Checked(file, kCatalogueFileMax, "file code") + "," +
        Checked(texture, kCatalogueTextureMax, "texture") + "," +
        Checked(row.variant ? shop.variantDescription : shop.description, kCatalogueDescriptionMax, "description");
    if (text.size() >= kCatalogueRecordLimit)
        throw std::invalid_argument("catalogue row too long: " + text);
    return text;
}

} // namespace

std::string CategoryName(int gender, int category)
{
    return std::string(gender == 1 ? "man_" : "lady_") + kCategoryStems[category];
}

std::string CategoryPictureName(int gender, int category)
{
    if (category == kFaceCategory)
        return {};
    char name[16];
    std::snprintf(name, sizeof name, "p%d%d.bmp", gender, category == kHairCategory ? 1 : category);
    return name;
}

std::vector<CatalogueItem> CatalogueItems(const std::vector<ItemRecipe>& recipes, int gender, int category)
{
    std::vector<const ItemRecipe*> found;
    for (const ItemRecipe& r : recipes)
        if (r.gender == gender && r.category == category)
            found.push_back(&r);
    std::sort(found.begin(), found.end(),
              [](const ItemRecipe* a, const ItemRecipe* b) { return a->number < b->number; });
    std::vector<CatalogueItem> items;
    for (const ItemRecipe* r : found) {
        items.push_back({r, false});
        if (r->paintVariant && !r->shop.variantName.empty())
            items.push_back({r, true});
    }
    return items;
}

std::vector<std::string> CatalogueRows(const std::vector<ItemRecipe>& recipes)
{
    std::vector<std::string> rows;
    for (int gender = 1; gender <= 2; ++gender)
        for (int category = 0; category < kCategoryCount; ++category) {
            std::vector<CatalogueItem> items = CatalogueItems(recipes, gender, category);
            if (items.empty())
                throw std::invalid_argument("catalogue category without items: " + CategoryName(gender, category));
            rows.push_back(CategoryName(gender, category) + "," + std::to_string(items.size()));
            rows.push_back("code,name,price,sale,text,file,texture,description");
            for (const CatalogueItem& item : items)
                rows.push_back(ItemRow(item));
        }
    return rows;
}

Bytes EncodeCatalogue(const std::vector<std::string>& rows)
{
    Bytes bytes;
    for (const std::string& row : rows) {
        for (char c : row)
            bytes.push_back(static_cast<std::uint8_t>(~static_cast<std::uint8_t>(c)));
        bytes.push_back(0);
    }
    return bytes;
}

} // namespace world
