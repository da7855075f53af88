// The text-to-motion analyser over the word lists the build writes into the home folder, and over
// hand-made list files: every feeling of the lists, the emoticons, the Korean words, case folding
// and double-byte boundaries, long texts, and the motions each feeling maps to.
#include "TexMo.h"

#include <TempFolder.h>
#include <gtest/gtest.h>
#include <yonda_platform.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <string>

using yonda::testing::TempFolder;

namespace {

std::string HomeLists()
{
    const char* binary = std::getenv("YONDA_BINARY_DIR");
    return binary ? std::string(binary) + "/yonda/Data/prb" : std::string();
}

std::string Korean(const char* utf8)
{
    return YondaUtf8ToCodePage(utf8, 949);
}

class TexMo : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(HomeLists().empty());
        m_texmo.LoadLists(HomeLists().c_str());
    }
    int Classify(const std::string& text, BOOL strict)
    {
        m_texmo.SetStrict(strict);
        CString buffer(text.c_str());
        const int category = m_texmo.Classify(buffer);
        m_left = std::string(buffer.GetString());
        return category;
    }

    CTexMo m_texmo;
    std::string m_left; // the text after the classification
};

std::string Complemented(std::initializer_list<std::string> records)
{
    std::string bytes;
    for (const std::string& record : records) {
        for (unsigned char c : record) {
            bytes += static_cast<char>(~c);
        }
        bytes += '\0';
    }
    return bytes;
}

} // namespace

TEST_F(TexMo, EveryListOfTheHomeFolderGivesItsFeeling)
{
    for (int n = 1; n <= CTexMo::kCategoryCount; ++n) {
        SCOPED_TRACE(n);
        ASSERT_FALSE(m_texmo.List(n).empty());
        // The first word of each list is a plain one that no earlier rule takes.
        EXPECT_EQ(Classify(m_texmo.List(n).front(), FALSE), n) << m_texmo.List(n).front();
        EXPECT_EQ(Classify("well " + m_texmo.List(n).front() + " then", FALSE), n);
    }
    // Korean words are stored in the chat's code page, German ones in theirs.
    EXPECT_EQ(Classify(Korean("안녕하세요"), TRUE), CTexMo::GREETING);
    EXPECT_EQ(Classify(Korean("사랑해"), TRUE), CTexMo::LOVE);
    EXPECT_EQ(Classify(YondaUtf8ToCodePage("tschüss", 1252), FALSE), CTexMo::FAREWELL);
    // The lowest feeling holding any word of the text wins.
    EXPECT_EQ(Classify("sorry bye", FALSE), CTexMo::FAREWELL);
}

TEST_F(TexMo, CapitalsMatchOnlyWithoutTheStrictFlag)
{
    EXPECT_EQ(Classify("HELLO", FALSE), CTexMo::GREETING);
    EXPECT_EQ(Classify("HeLLo", FALSE), CTexMo::GREETING);
    EXPECT_EQ(Classify("HELLO", TRUE), CTexMo::NONE);
    EXPECT_EQ(Classify("hello", TRUE), CTexMo::GREETING);
    // Only ASCII letters fold: a Latin-1 capital is another byte.
    EXPECT_EQ(Classify(YondaUtf8ToCodePage("TSCHÜSS", 1252), FALSE), CTexMo::NONE);
}

TEST_F(TexMo, PunctuationComesFirstAndEmoticonsAreTakenOut)
{
    EXPECT_EQ(Classify("word :)", FALSE), CTexMo::SMILE);
    EXPECT_EQ(m_left, "word ");
    EXPECT_EQ(Classify("really? :)", FALSE), CTexMo::QUESTION);
    EXPECT_EQ(Classify("hello!", FALSE), CTexMo::SURPRISE);
    EXPECT_EQ(Classify("^^;", FALSE), CTexMo::SLAUGH);
    EXPECT_EQ(Classify("^^", FALSE), CTexMo::SMILE);
    EXPECT_EQ(Classify(":-)", FALSE), CTexMo::SMILE);
    EXPECT_EQ(Classify("<3", FALSE), CTexMo::LOVE);
    EXPECT_EQ(Classify("-_-;", FALSE), CTexMo::DAMNED);
    EXPECT_EQ(m_left, "-_");
    EXPECT_EQ(Classify("so :( but then :)", FALSE), CTexMo::SMILE);
    EXPECT_EQ(m_left, "so  but then ");
    EXPECT_EQ(Classify("T.T", FALSE), CTexMo::GRIEF);
    EXPECT_EQ(Classify("@_@", FALSE), CTexMo::ABSURD);
    EXPECT_EQ(Classify(";)", FALSE), CTexMo::KICKKICK);
    EXPECT_EQ(Classify(":-P", FALSE), CTexMo::TEASE);
    EXPECT_EQ(Classify("=|", FALSE), CTexMo::COLD);
    EXPECT_EQ(Classify(".zz", FALSE), CTexMo::BORED);
    // "ㅡ;" and a tear after a dot are double-byte emoticons.
    EXPECT_EQ(Classify(Korean("ㅡ;"), FALSE), CTexMo::DAMNED);
    EXPECT_EQ(Classify("." + Korean("ㅠ"), FALSE), CTexMo::GRIEF);
    // An emoticon gives its feeling before any listed word; a started one that does not finish
    // drops what it read.
    EXPECT_EQ(Classify("hello ^^", FALSE), CTexMo::SMILE);
    EXPECT_EQ(Classify(":-x hello", FALSE), CTexMo::GREETING);
    EXPECT_EQ(m_left, "x hello");
}

TEST_F(TexMo, KoreanWordsCountOnlyWithTheStrictFlagAndOnWholeCharacters)
{
    EXPECT_EQ(Classify(Korean("어디 가"), TRUE), CTexMo::NONE);
    EXPECT_EQ(Classify(Korean("너 어디"), TRUE), CTexMo::QUESTION);
    EXPECT_EQ(Classify(Korean("밥 먹었냐 뭐했냐"), TRUE), CTexMo::QUESTION);
    // A suffix alone is not a question: the word must be longer than it.
    EXPECT_EQ(Classify(Korean("했냐"), TRUE), CTexMo::NONE);
    EXPECT_EQ(Classify(Korean("하하하 재밌다"), TRUE), CTexMo::LAUGH);
    EXPECT_EQ(Classify(Korean("ㅋㅋ"), TRUE), CTexMo::KICKKICK);
    EXPECT_EQ(Classify(Korean("흑흑"), TRUE), CTexMo::GRIEF);
    EXPECT_EQ(Classify(Korean("하하"), FALSE), CTexMo::NONE);
    // The same bytes starting inside another character are not the word.
    EXPECT_EQ(Classify("\xB0" + Korean("했냐"), TRUE), CTexMo::NONE);
    EXPECT_EQ(Classify("\xB0" + Korean("하하"), TRUE), CTexMo::NONE);
    EXPECT_EQ(Classify(Korean("가하하"), TRUE), CTexMo::LAUGH);
}

TEST_F(TexMo, LongTextsSkipTheListsAndNeverOverrunTheScan)
{
    std::string longText;
    while (longText.size() < 81) {
        longText += "hello ";
    }
    longText.resize(81);
    EXPECT_EQ(Classify(longText, FALSE), CTexMo::NONE);
    std::string words = "bye";
    for (int i = 0; i < 29; ++i) {
        words += " a";
    }
    EXPECT_EQ(Classify(words, FALSE), CTexMo::FAREWELL);    // 30 words
    EXPECT_EQ(Classify(words + " a", FALSE), CTexMo::NONE); // 31 words
    // 300 bytes of text: the scan keeps at most 199 of them, whole characters only.
    std::string wide;
    for (int i = 0; i < 150; ++i) {
        wide += Korean("가");
    }
    Classify(wide + ":)", FALSE);
    EXPECT_LE(m_left.size(), 199u);
    EXPECT_EQ(m_left.size() % 2, 0u);
    // A lead byte at the very end stays and ends the scan.
    EXPECT_EQ(Classify("abc\xB0", FALSE), CTexMo::NONE);
    EXPECT_EQ(m_left, "abc\xB0");
}

TEST(TexMoMotions, EachFeelingMapsIntoItsRangeForEachGender)
{
    auto seen = [](int category, int gender) {
        std::set<int> codes;
        for (int i = 0; i < 300; ++i) {
            codes.insert(CTexMo::MotionOf(category, gender));
        }
        return codes;
    };
    EXPECT_EQ(seen(CTexMo::GREETING, 0), (std::set<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(seen(CTexMo::GREETING, 1), (std::set<int>{1, 2, 3, 4}));
    EXPECT_EQ(seen(CTexMo::ANGER, 1), (std::set<int>{10, 11, 12}));
    EXPECT_EQ(seen(CTexMo::SORRY, 1), (std::set<int>{24, 25, 26, 27}));
    EXPECT_EQ(seen(CTexMo::LOVE, 0), (std::set<int>{51}));
    EXPECT_EQ(seen(CTexMo::NOD, 1), (std::set<int>{1}));
    EXPECT_EQ(seen(CTexMo::NONE, 0), (std::set<int>{0}));
    EXPECT_EQ(CTexMo::MotionOf(99, 0), 0);
    CTexMo texmo;
    EXPECT_EQ(texmo.Analyze("", 0), 0);
    EXPECT_EQ(texmo.Analyze(":-o", 0), 21);
}

TEST(TexMoFiles, RecordsAreComplementedAndEndAtAnEmptyOrUnterminatedOne)
{
    TempFolder folder("texmo");
    // List 1: two words, an empty record, a word never read.
    folder.Write("01.prb", Complemented({"hi there", "hey", "", "never"}));
    // List 2: one word, then a record without its zero byte at the end of the file.
    std::string two = Complemented({"bye"});
    two += static_cast<char>(~'x');
    folder.Write("02.prb", two);
    // List 3: a record too long ends the list.
    folder.Write("03.prb", Complemented({"smile", std::string(CTexMo::kRecordBytes, 'a'), "grin"}));
    CTexMo texmo;
    texmo.LoadLists(folder.Windows().c_str());
    EXPECT_EQ(texmo.List(1), (std::vector<std::string>{"hi", "hey"}));
    EXPECT_EQ(texmo.List(2), (std::vector<std::string>{"bye"}));
    EXPECT_EQ(texmo.List(3), (std::vector<std::string>{"smile"}));
    EXPECT_TRUE(texmo.List(4).empty()); // no file
    texmo.Init(TRUE);
    texmo.Clear();
    EXPECT_TRUE(texmo.List(1).empty());
}

TEST(TexMoFiles, TextLinesAndWords)
{
    TempFolder folder("texmo");
    const auto path = folder.Write("lines.txt", std::string("one two\nthree\0four\n", 19));
    FILE* file = std::fopen(path.c_str(), "rb");
    ASSERT_TRUE(file);
    char line[16];
    EXPECT_EQ(ReadTextLine(file, line, sizeof(line)), 8);
    EXPECT_STREQ(line, "one two\n");
    EXPECT_EQ(ReadTextLine(file, line, sizeof(line)), 6);
    EXPECT_STREQ(line, "three");
    char tiny[4];
    EXPECT_EQ(ReadTextLine(file, tiny, sizeof(tiny)), -1);
    std::fclose(file);
    std::vector<std::string> words;
    SplitWords("  a\tb   c ", &words);
    EXPECT_EQ(words, (std::vector<std::string>{"a\tb", "c"}));
    char text[] = "ab";
    InvertString(text);
    EXPECT_EQ(static_cast<unsigned char>(text[0]), static_cast<unsigned char>(~'a'));
}
