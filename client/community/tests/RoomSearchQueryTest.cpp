// What a room search sends and what a listed room becomes, from the search window's choices and
// the service's elements: byte limits, double-byte letters cut whole, the bands the selectors'
// tags stand for.
#include "RoomSearchQuery.h"

#include <yonda_user.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// `count` Hangul letters in code page 949 (two bytes each).
std::string Hangul(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += "\xB0\xA1"; // 가
    }
    return text;
}

class RoomSearchQuery : public testing::Test {
protected:
    void SetUp() override { YondaSetActiveCodePage(949); }
    ROOM_SEARCH_QUERY Query(LPCSTR keyword, int key, LPCSTR sex = "0", LPCSTR age = "0", LPCSTR area = "-1",
                            LPCSTR count = "0", BOOL full = TRUE, BOOL secret = TRUE)
    {
        return BuildRoomSearchQuery(keyword, key, sex, age, area, count, full, secret);
    }
};

} // namespace

TEST_F(RoomSearchQuery, EachKeyButtonPutsTheKeywordIntoItsOwnTextAndNoOther)
{
    const struct {
        int key;
        int text; // 1..4, 0 none
    } cases[] = {{SEARCH_KEY_TEXT2, 2}, {SEARCH_KEY_TEXT1, 1}, {SEARCH_KEY_TEXT3, 3}, {SEARCH_KEY_TEXT4, 4}, {3119, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        const ROOM_SEARCH_QUERY q = Query("garden", c.key);
        const char* texts[4] = {q.szText1, q.szText2, q.szText3, q.szText4};
        for (int i = 0; i < 4; ++i) {
            EXPECT_STREQ(texts[i], i + 1 == c.text ? "garden" : "");
        }
    }
}

TEST_F(RoomSearchQuery, AKeywordLongerThanItsTextIsCutToFitWithoutSplittingALetter)
{
    const std::string korean = Hangul(40); // 80 bytes
    // Each text keeps as many whole letters as fit before its terminator.
    EXPECT_EQ(std::string(Query(korean.c_str(), SEARCH_KEY_TEXT1).szText1), Hangul(25)); // 51 bytes
    EXPECT_EQ(std::string(Query(korean.c_str(), SEARCH_KEY_TEXT2).szText2), Hangul(15)); // 32 bytes
    EXPECT_EQ(std::string(Query(korean.c_str(), SEARCH_KEY_TEXT3).szText3), Hangul(11)); // 24 bytes
    EXPECT_EQ(std::string(Query(korean.c_str(), SEARCH_KEY_TEXT4).szText4), Hangul(15));
    // A single-byte letter before the double-byte ones moves the cut by one.
    const std::string mixed = "a" + korean;
    EXPECT_EQ(std::string(Query(mixed.c_str(), SEARCH_KEY_TEXT3).szText3), "a" + Hangul(11));
    const std::string ascii(60, 'x');
    EXPECT_EQ(std::string(Query(ascii.c_str(), SEARCH_KEY_TEXT3).szText3), std::string(23, 'x'));
    EXPECT_STREQ(Query(nullptr, SEARCH_KEY_TEXT1).szText1, "");
}

TEST_F(RoomSearchQuery, AgeTagsStandForTheirBands)
{
    const struct {
        const char* tag;
        int from, to;
    } bands[] = {{"0", 0, 0}, {"1", 0, 15}, {"20", 20, 24}, {"16", 16, 20}, {"51", 51, 100}, {"45", 45, 49}};
    for (const auto& band : bands) {
        SCOPED_TRACE(band.tag);
        const ROOM_SEARCH_QUERY q = Query("", SEARCH_KEY_TEXT2, "0", band.tag);
        EXPECT_EQ(q.byAgeFrom, band.from);
        EXPECT_EQ(q.byAgeTo, band.to);
    }
}

TEST_F(RoomSearchQuery, AnyAreaIsSentEmptyAndAnAreaCodeAsItsFirstThreeLetters)
{
    EXPECT_STREQ(Query("", SEARCH_KEY_TEXT2, "0", "0", "-1").szArea, "");
    EXPECT_STREQ(Query("", SEARCH_KEY_TEXT2, "0", "0", "7").szArea, "7");
    EXPECT_STREQ(Query("", SEARCH_KEY_TEXT2, "0", "0", "12345").szArea, "123");
    EXPECT_STREQ(Query("", SEARCH_KEY_TEXT2, "0", "0", "-10").szArea, "-10");
}

TEST_F(RoomSearchQuery, SexCountAndTheTwoSwitches)
{
    ROOM_SEARCH_QUERY q = Query("", SEARCH_KEY_TEXT2, "F", "0", "-1", "14", TRUE, TRUE);
    EXPECT_EQ(q.cSex, 'F');
    EXPECT_EQ(q.byCount, 14);
    EXPECT_EQ(q.cFull, 'E');
    EXPECT_EQ(q.cSecret, 'O');
    q = Query("", SEARCH_KEY_TEXT2, "M", "0", "-1", "0", FALSE, FALSE);
    EXPECT_EQ(q.cSex, 'M');
    EXPECT_EQ(q.byCount, 0);
    EXPECT_EQ(q.cFull, 'F');
    EXPECT_EQ(q.cSecret, 'C');
}

TEST_F(RoomSearchQuery, AListedRoomBecomesARowWithEveryTextCutToItsField)
{
    YONDA_ROOM_LIST_ELEMENT element{};
    element.room.nLobby = 3;
    element.room.nRoom = 41;
    // Fields the service filled to the last byte, without a terminator.
    std::memset(element.room.szName, 'n', sizeof(element.room.szName));
    std::memset(element.room.szSubject, 's', sizeof(element.room.szSubject));
    std::memset(element.szHostNickname, 'h', sizeof(element.szHostNickname));
    element.room.byUsers = 4;
    element.room.byMaxUsers = 9;
    element.room.cClosed = 'C';
    ROOM_ROW row = RoomRowFromElement(element);
    EXPECT_EQ(row.nLobby, 3);
    EXPECT_EQ(row.nRoom, 41);
    EXPECT_EQ(std::string(row.szName), std::string(49, 'n'));
    EXPECT_EQ(std::string(row.szSubject), std::string(29, 's'));
    EXPECT_EQ(std::string(row.szText), std::string(20, 'h'));
    EXPECT_EQ(row.nUsers, 4);
    EXPECT_EQ(row.nMaxUsers, 9);
    EXPECT_EQ(row.cState, 'C');

    // A double-byte name at the limit keeps whole letters only.
    const std::string name = Hangul(25); // 50 bytes and its terminator
    std::memcpy(element.room.szName, name.c_str(), name.size() + 1);
    row = RoomRowFromElement(element);
    EXPECT_EQ(std::string(row.szName), Hangul(24));
}
