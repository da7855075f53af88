// The item catalogue from real files: the catalogue the world generator wrote, read record by
// record against its bytes, and hand-made files with every kind of broken row.
#include "CatalogueFiles.h"
#include "TempFolder.h"

#include "ClientGlobals.h"
#include "DsvFile.h"
#include "ItemCatalog.h"
#include "Screenshot.h"

#include <BmpFile.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace catalogue_test;

namespace {

const char* const kHeader = "code,name,price,sale,text,file,texture,description";
const char* const kCataloguePath = "data/item/item.dsv";

// A catalogue in a home folder of the test's own, loaded as the program loads it.
class Catalogue : public ::testing::Test {
protected:
    void SetUp() override { g_strInstallPath = m_home.Root().c_str(); }
    void TearDown() override { g_strInstallPath.Empty(); }

    int Load(const std::vector<std::string>& rows, bool closeLast = true)
    {
        m_home.Write(kCataloguePath, Encode(rows, closeLast));
        return m_catalog.Load();
    }

    yonda::testing::TempFolder m_home{"yonda-catalogue"};
    CItemCatalog m_catalog;
};

std::string ItemRow(int number, const std::string& name, int category = 2, int gender = 1)
{
    char row[128];
    std::snprintf(row, sizeof row, "%d0%d%03d0,%s,%d,1,text,%d0%d%03d,0,about %s", gender, category, number,
                  name.c_str(), 100 + number, gender, category, number, name.c_str());
    return row;
}

TEST(GeneratedCatalogue, ReadsAsTheGeneratorWroteItAndNamesItemFilesThatExist)
{
    const char* binary = std::getenv("YONDA_BINARY_DIR");
    ASSERT_NE(binary, nullptr);
    const std::string home = std::string(binary) + "/yonda";
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile((home + "/Data/Item/item.dsv").c_str(), &bytes))
        << "the world generator writes the catalogue into " << home;
    const std::vector<std::string> rows = Decode(std::string(bytes.begin(), bytes.end()));

    g_strInstallPath = home.c_str();
    CItemCatalog catalog;
    ASSERT_EQ(catalog.Load(), 1);

    int items = 0;
    size_t row = 0;
    while (row < rows.size()) {
        const std::vector<std::string> head = Split(rows[row]);
        ASSERT_EQ(head.size(), 2u) << rows[row];
        int gender = 0, category = -1;
        for (int g = 1; g <= 2; ++g)
            for (int c = 0; c < ITEM_CATEGORY_COUNT; ++c)
                if (head[0] == CItemCatalog::CategoryName(g, c)) {
                    gender = g;
                    category = c;
                }
        ASSERT_GE(category, 0) << rows[row];
        const int count = std::atoi(head[1].c_str());
        ASSERT_EQ(catalog.GetItemCount(gender, category), count) << head[0];
        row += 2;
        for (int index = 0; index < count; ++index, ++row) {
            ASSERT_LT(row, rows.size());
            const std::vector<std::string> fields = Split(rows[row]);
            ASSERT_EQ(fields.size(), 8u) << rows[row];
            HBITMAP picture = nullptr;
            int x = -1, y = -1;
            const ITEM_RECORD* record = catalog.GetItem(gender, category, index, &picture, &x, &y);
            ASSERT_NE(record, nullptr);
            SCOPED_TRACE(rows[row]);
            EXPECT_EQ(record->nCode, std::atoi(fields[0].c_str()));
            EXPECT_EQ(record->szName, fields[1]);
            EXPECT_EQ(record->nPrice, std::atoi(fields[2].c_str()));
            EXPECT_EQ(record->bySale, fields[3] == "1");
            EXPECT_EQ(record->szText, fields[4]);
            EXPECT_EQ(record->szFileCode, fields[5]);
            EXPECT_EQ(record->szTexture, fields[6]);
            EXPECT_EQ(record->szDescription, fields[7]);
            EXPECT_EQ(record->byGender, gender);
            EXPECT_EQ(record->byCategory, category);
            EXPECT_EQ(record->nItemNumber, std::atoi(fields[5].substr(3).c_str()));
            EXPECT_EQ(record->byOwned, 0);
            EXPECT_EQ(x, 42 * (index % 10));
            EXPECT_EQ(y, 42 * (index / 10));
            // Every category the member wears shows its items from a picture; the face has none.
            EXPECT_EQ(picture != nullptr, category != ITEM_FACE);

            // The item file the avatar puts on, and the variant's texture, are there.
            char name[32];
            std::snprintf(name, sizeof name, "%d0%d%03d0.KRI", gender, category, record->nItemNumber);
            EXPECT_TRUE(FileExists(CString(home.c_str()) + "\\Data\\Avatar\\KRI\\" + name)) << name;
            // A variant's texture is there, and the variant follows its plain item, which is how
            // the owned list finds it.
            if (record->szTexture[0] != '0') {
                EXPECT_TRUE(FileExists(CString(home.c_str()) + "\\Data\\Avatar\\KRI\\" + record->szTexture));
                EXPECT_EQ(catalog.FindItem(gender, category, record->nItemNumber, TRUE), record);
            }
            ++items;
        }
        EXPECT_EQ(catalog.GetItem(gender, category, count, nullptr, nullptr, nullptr), nullptr);
    }
    EXPECT_GT(items, 100);
    EXPECT_NE(catalog.m_hWornPicture, nullptr);
    g_strInstallPath.Empty();
}

TEST_F(Catalogue, ItemRowsFillTheirCategoriesInCatalogueOrder)
{
    std::vector<std::string> rows = {ItemRow(1, "stray before any category"), "man_up,14", kHeader};
    for (int i = 0; i < 14; ++i)
        rows.push_back(ItemRow(i, "up" + std::to_string(i)));
    rows.insert(rows.end(), {"lady_low , 2 ", kHeader, ItemRow(5, "skirt", 3, 2), ItemRow(6, "jeans", 3, 2),
                             ItemRow(7, "beyond the count", 3, 2)});
    ASSERT_EQ(Load(rows), 1);
    EXPECT_EQ(m_catalog.GetItemCount(1, ITEM_UPPER), 14);
    EXPECT_EQ(m_catalog.GetItemCount(2, ITEM_LOWER), 2);
    EXPECT_EQ(m_catalog.GetItemCount(1, ITEM_HAIR), 0);
    EXPECT_EQ(m_catalog.GetItemCount(3, ITEM_UPPER), 0);

    int x = 0, y = 0;
    const ITEM_RECORD* thirteenth = m_catalog.GetItem(1, ITEM_UPPER, 13, nullptr, &x, &y);
    ASSERT_NE(thirteenth, nullptr);
    EXPECT_STREQ(thirteenth->szName, "up13");
    EXPECT_EQ(x, 126);
    EXPECT_EQ(y, 42);
    const ITEM_RECORD* first = m_catalog.GetItem(1, ITEM_UPPER, 0, nullptr, nullptr, nullptr);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->nCode, 1020000);
    EXPECT_EQ(first->nPrice, 100);
    EXPECT_EQ(first->bySale, 1);
    EXPECT_STREQ(first->szFileCode, "102000");
    EXPECT_STREQ(first->szDescription, "about up0");
    const ITEM_RECORD* jeans = m_catalog.GetItem(2, ITEM_LOWER, 1, nullptr, nullptr, nullptr);
    ASSERT_NE(jeans, nullptr);
    EXPECT_STREQ(jeans->szName, "jeans");
    EXPECT_EQ(jeans->byGender, 2);
    EXPECT_EQ(jeans->byCategory, 3);
    EXPECT_EQ(jeans->nItemNumber, 6);

    // Nothing outside the categories and their counts.
    EXPECT_EQ(m_catalog.GetItem(1, ITEM_UPPER, 14, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(m_catalog.GetItem(1, ITEM_UPPER, -1, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(m_catalog.GetItem(0, ITEM_UPPER, 0, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(m_catalog.GetItem(3, ITEM_UPPER, 0, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(m_catalog.GetItem(1, 7, 0, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(m_catalog.GetItem(2, ITEM_LOWER, 2, nullptr, nullptr, nullptr), nullptr);
    // No pictures in this home: the items are there all the same.
    HBITMAP picture = reinterpret_cast<HBITMAP>(1);
    EXPECT_NE(m_catalog.GetItem(1, ITEM_UPPER, 0, &picture, nullptr, nullptr), nullptr);
    EXPECT_EQ(picture, nullptr);
}

TEST_F(Catalogue, FindItemSearchesTheGendersCategoriesAndGivesTheNextRecord)
{
    ASSERT_EQ(Load({"man_hair,2", kHeader, ItemRow(4, "plain", 0), "1000041,red,5,0,,100004,1000041.KRT,variant",
                    "man_up,1", kHeader, ItemRow(4, "shirt"), "lady_up,1", kHeader, ItemRow(4, "blouse", 2, 2)}),
              1);
    ITEM_RECORD* plain = m_catalog.FindItem('M', '0', 4, FALSE);
    ASSERT_NE(plain, nullptr);
    EXPECT_STREQ(plain->szName, "plain");
    EXPECT_EQ(m_catalog.FindItem(1, 0, 4, FALSE), plain);
    ITEM_RECORD* variant = m_catalog.FindItem('M', '0', 4, TRUE);
    ASSERT_NE(variant, nullptr);
    EXPECT_STREQ(variant->szTexture, "1000041.KRT");
    EXPECT_STREQ(m_catalog.FindItem('M', 2, 4, FALSE)->szName, "shirt");
    EXPECT_EQ(m_catalog.FindItem('M', 2, 4, TRUE), nullptr) << "the last of its category has no next";
    EXPECT_STREQ(m_catalog.FindItem('F', '2', 4, FALSE)->szName, "blouse");
    EXPECT_STREQ(m_catalog.FindItem(2, '2', 4, FALSE)->szName, "blouse");
    EXPECT_EQ(m_catalog.FindItem('M', '3', 4, FALSE), nullptr);
    EXPECT_EQ(m_catalog.FindItem('M', '0', 5, FALSE), nullptr);
}

TEST_F(Catalogue, BrokenRowsReadAsEmptyFieldsAndOverlongFieldsAreCut)
{
    const std::string longName(80, 'n');
    const std::string longDescription(400, 'd');
    // Two-byte characters of the Korean code page: 26 of them do not fit 51 bytes, and the cut
    // never splits one.
    std::string hangul;
    for (int i = 0; i < 26; ++i)
        hangul += "\xB0\xA1";
    ASSERT_EQ(Load({"man_up,6", kHeader,
                    "1,short row,7,y,,102001",               // no texture, no description
                    "2,code too short,7,1,,10200,0,skipped", // a file code that names nothing
                    "3,,,,,",                                // no file code at all
                    "4," + longName + ",7,N,t,102004,0," + longDescription,
                    "5," + hangul + ",7,1," + std::string(40, 't') + "," + std::string(30, '1') + "2005," +
                        std::string(60, 'x') + ",d",
                    "6,last,1,1,,102006,0,x"}),
              1);
    ASSERT_EQ(m_catalog.GetItemCount(1, ITEM_UPPER), 4) << "rows without a whole file code are not items";

    const ITEM_RECORD* shortRow = m_catalog.GetItem(1, ITEM_UPPER, 0, nullptr, nullptr, nullptr);
    EXPECT_STREQ(shortRow->szName, "short row");
    EXPECT_EQ(shortRow->bySale, 1);
    EXPECT_EQ(shortRow->nItemNumber, 1);
    EXPECT_STREQ(shortRow->szTexture, "");
    EXPECT_STREQ(shortRow->szDescription, "");

    const ITEM_RECORD* longRow = m_catalog.GetItem(1, ITEM_UPPER, 1, nullptr, nullptr, nullptr);
    EXPECT_EQ(longRow->nCode, 4);
    EXPECT_EQ(longRow->bySale, 0);
    EXPECT_EQ(std::string(longRow->szName), std::string(51, 'n'));
    EXPECT_EQ(std::string(longRow->szDescription), std::string(299, 'd'));

    const ITEM_RECORD* cut = m_catalog.GetItem(1, ITEM_UPPER, 2, nullptr, nullptr, nullptr);
    EXPECT_EQ(std::strlen(cut->szName), 50u);
    EXPECT_EQ(std::string(cut->szName), hangul.substr(0, 50));
    EXPECT_EQ(std::strlen(cut->szText), 29u);
    EXPECT_EQ(std::strlen(cut->szFileCode), 19u);
    EXPECT_EQ(std::strlen(cut->szTexture), 49u);
    EXPECT_EQ(cut->byGender, 1);
    EXPECT_EQ(cut->byCategory, 1);
    EXPECT_EQ(cut->nItemNumber, 111);
    EXPECT_STREQ(m_catalog.GetItem(1, ITEM_UPPER, 3, nullptr, nullptr, nullptr)->szName, "last");
}

TEST_F(Catalogue, ACategoryRowWithoutAPositiveCountFailsTheLoad)
{
    EXPECT_EQ(Load({"man_up", kHeader, ItemRow(1, "a")}), 0);
    EXPECT_EQ(Load({"man_up,", kHeader, ItemRow(1, "a")}), 0);
    EXPECT_EQ(Load({"man_hair,1", kHeader, ItemRow(1, "a", 0), "lady_up,0", kHeader}), 0);
    EXPECT_EQ(Load({"man_up,-2", kHeader}), 0);
    EXPECT_EQ(Load({"man_up,x", kHeader}), 0);
    // Names are exact: another spelling is an item row with no category yet.
    EXPECT_EQ(Load({"Man_Up,0", "man_up,1", kHeader, ItemRow(1, "a")}), 1);
    EXPECT_EQ(m_catalog.GetItemCount(1, ITEM_UPPER), 1);
    // A count far beyond the rows that follow takes no more than they fill.
    EXPECT_EQ(Load({"man_up,2000000000", kHeader, ItemRow(1, "a")}), 1);
    EXPECT_EQ(m_catalog.GetItemCount(1, ITEM_UPPER), 1);
}

TEST_F(Catalogue, TheFileEndsAtItsLastZeroAnEmptyRecordOrAnOverlongRecord)
{
    EXPECT_EQ(Load({"man_up,3", kHeader, ItemRow(1, "a"), ItemRow(2, "lost: no closing zero")}, false), 1);
    EXPECT_EQ(m_catalog.GetItemCount(1, ITEM_UPPER), 1);

    EXPECT_EQ(Load({"man_up,3", kHeader, ItemRow(1, "a"), "", ItemRow(2, "after the empty record")}), 1);
    EXPECT_EQ(m_catalog.GetItemCount(1, ITEM_UPPER), 1);

    // 799 bytes are a record; 800 end the catalogue there.
    std::string fits = ItemRow(2, "b") + ",";
    fits += std::string(799 - fits.size(), 'x');
    std::string overlong = ItemRow(3, "c") + ",";
    overlong += std::string(800 - overlong.size(), 'x');
    EXPECT_EQ(Load({"man_up,4", kHeader, ItemRow(1, "a"), fits, overlong, ItemRow(4, "d")}), 1);
    EXPECT_EQ(m_catalog.GetItemCount(1, ITEM_UPPER), 2);
}

TEST_F(Catalogue, AMissingCatalogueFailsTheLoad)
{
    EXPECT_EQ(m_catalog.Load(), 0);
    EXPECT_EQ(m_catalog.m_bLoaded, 1);
    EXPECT_EQ(m_catalog.GetItemCount(1, ITEM_HAIR), 0);
}

TEST_F(Catalogue, TheTableHasTheWidestRowsFieldsWithNullsWhereARowIsShort)
{
    const std::string path = m_home.Write(kCataloguePath, Encode({"a,b,c", "d", "e,,f,g"})).string();
    int rows = 0, columns = 0;
    char*** table = ReadDsvFile(path.c_str(), &rows, &columns);
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(rows, 3);
    ASSERT_EQ(columns, 4);
    EXPECT_STREQ(table[0][2], "c");
    EXPECT_EQ(table[0][3], nullptr);
    EXPECT_STREQ(table[1][0], "d");
    EXPECT_EQ(table[1][1], nullptr);
    EXPECT_STREQ(table[2][1], "");
    EXPECT_STREQ(table[2][3], "g");
    FreeDsvFile(table, rows, columns);

    EXPECT_EQ(ReadDsvFile((path + ".missing").c_str(), &rows, &columns), nullptr);
    EXPECT_EQ(rows, 0);
}

TEST(DsvRecords, ReadRecordStopsAtTheZeroByteTheEndAndTheBufferSize)
{
    FILE* stream = std::tmpfile();
    ASSERT_NE(stream, nullptr);
    std::fwrite("ab\0cdefgh\0", 1, 10, stream);
    std::rewind(stream);
    char buffer[6];
    EXPECT_EQ(ReadRecord(stream, buffer, sizeof buffer), 2);
    EXPECT_STREQ(buffer, "ab");
    EXPECT_EQ(ReadRecord(stream, buffer, sizeof buffer), -1) << "six bytes do not fit with their terminator";
    std::fclose(stream);

    stream = std::tmpfile();
    ASSERT_NE(stream, nullptr);
    std::fwrite("tail", 1, 4, stream);
    std::rewind(stream);
    EXPECT_EQ(ReadRecord(stream, buffer, sizeof buffer), 0) << "a record without its zero byte is lost";
    EXPECT_STREQ(buffer, "");
    std::fclose(stream);

    char text[] = {'a', '\x01', '\xff'};
    EXPECT_EQ(InvertBytes(text, 3), 3);
    EXPECT_EQ(text[0], static_cast<char>(~'a'));
    EXPECT_EQ(text[1], '\xfe');
    EXPECT_EQ(text[2], '\0');
}

} // namespace
