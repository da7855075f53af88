#pragma once
// The item catalogue "Data/Item/item.dsv" the client and the service read, and the names of its
// category pictures. The file is a run of records, each a row of comma-separated fields whose
// every byte is stored complemented and which ends with one zero byte. Per gender and category:
// a category row ("man_up,16"), a header row the readers skip, then one row per item:
//
//   code,name,price,sale,text,file,texture,description
//
// code is the item file's number plus the variant digit (1020030, 1020031), file the item's file
// stem without its last digit ("102003": gender, 0, category, three digits of the number),
// texture "0" for the plain item or the variant's texture file ("1020031.KRT"), which is also
// what the avatar puts on. A texture variant's row follows its plain item's row at once: that is
// how both readers find the variant of a numbered item. Price 0 marks a free starting item; the
// sale flag is set on everything that costs points.

#include "AvatarItems.h"
#include "ByteWriter.h"

#include <string>
#include <vector>

namespace world {

inline const std::string kItemPictureFolder = "Data/Item/";
inline const std::string kCataloguePath = kItemPictureFolder + "item.dsv";
inline const std::string kWornPlaceholderPath = kItemPictureFolder + "ii_itemu.bmp";

// The field widths the client's record keeps (each less one for the terminating zero), and the
// record length at which its reader stops.
constexpr std::size_t kCatalogueNameMax = 51;
constexpr std::size_t kCatalogueTextMax = 29;
constexpr std::size_t kCatalogueFileMax = 19;
constexpr std::size_t kCatalogueTextureMax = 49;
constexpr std::size_t kCatalogueDescriptionMax = 299;
constexpr std::size_t kCatalogueRecordLimit = 800;

// "man_hair" ... "lady_hairitem".
std::string CategoryName(int gender, int category);
// "p11.bmp" ... "p26.bmp" for the categories with pictures; empty for the face.
std::string CategoryPictureName(int gender, int category);

// One row of a category: an item, or its texture variant.
struct CatalogueItem {
    const ItemRecipe* recipe = nullptr;
    bool variant = false;
};

// A category's rows in catalogue order: by number, each variant after its plain item.
std::vector<CatalogueItem> CatalogueItems(const std::vector<ItemRecipe>& recipes, int gender, int category);

// The catalogue's rows as text, every category of both genders. Throws when a field would not
// fit its width, holds a comma, or a row reaches the record limit: the readers would cut or split
// it silently.
std::vector<std::string> CatalogueRows(const std::vector<ItemRecipe>& recipes);

// The rows as stored: each complemented and ended by a zero byte.
Bytes EncodeCatalogue(const std::vector<std::string>& rows);

} // namespace world
