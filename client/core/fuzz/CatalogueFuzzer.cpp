// Catalogue files with any contents: the reader and the catalogue built from it never read past
// a field, a record or a category, whatever the rows, counts and file codes say. The input is
// the catalogue's text, records ended by zero bytes; it is stored complemented as the program
// finds it.
#include "ClientGlobals.h"
#include "ItemCatalog.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

const std::filesystem::path& Home()
{
    static const std::filesystem::path home = [] {
        auto folder = std::filesystem::temp_directory_path() / ("yonda-fuzz-catalogue-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder / "data" / "item");
        return folder;
    }();
    return home;
}

void Touch(const ITEM_RECORD* record)
{
    volatile size_t sum = 0;
    for (const char* text : {record->szName, record->szText, record->szFileCode, record->szTexture,
                             record->szDescription, record->szOwnedKey})
        sum = sum + std::string(text).size();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string stored(reinterpret_cast<const char*>(data), size);
    for (char& c : stored)
        if (c != '\0')
            c = static_cast<char>(~static_cast<unsigned char>(c));
    const auto path = Home() / "data" / "item" / "item.dsv";
    if (FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(stored.data(), 1, stored.size(), file);
        std::fclose(file);
    }
    g_strInstallPath = Home().c_str();

    CItemCatalog catalog;
    catalog.Load();
    for (int gender = 0; gender <= 3; ++gender) {
        for (int category = -1; category <= 8; ++category) {
            const int count = catalog.GetItemCount(gender, category);
            for (int index = -1; index <= count; ++index) {
                HBITMAP picture = nullptr;
                int x = 0, y = 0;
                if (const ITEM_RECORD* record = catalog.GetItem(gender, category, index, &picture, &x, &y)) {
                    Touch(record);
                    catalog.FindItem(gender, category + '0', record->nItemNumber, index % 2);
                }
            }
        }
    }
    // The same bytes as an element of the owned-item list, whole or cut short.
    catalog.ApplyOwnedItem(data, size);
    if (size > 29)
        catalog.ApplyOwnedItem(data + size - 29, 29);
    catalog.HasChanges();
    return 0;
}
