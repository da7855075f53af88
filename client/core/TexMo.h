#pragma once
// The text-to-motion analyser: reads a chat line and picks the avatar motion its feeling calls
// for. The line falls into one of 24 feelings (or none) by its punctuation, its emoticons, the
// Korean question, laughter and crying words, and the word lists of "\Data\prb\"; the feeling
// then names a motion of the speaker's gender, some with variants picked at random.
#include <afxwin.h>

#include <cstdio>
#include <string>
#include <vector>

class CTexMo {
public:
    enum {
        NONE = 0,
        GREETING,
        FAREWELL,
        SMILE,
        LAUGH,
        KICKKICK,
        SNEER,
        SLAUGH,
        ANGER,
        GRIEF,
        CRY,
        SURPRISE,
        DONTKNOW,
        BORED,
        LOVE,
        SORRY,
        CONGRATU,
        TEASE,
        QUESTION,
        AGREE,
        REFUSE,
        ABSURD,
        COLD,
        DAMNED,
        NOD
    };
    static constexpr int kCategoryCount = 24;
    // A word-list record holds fewer bytes than this.
    static constexpr int kRecordBytes = 2048;
    // The emoticon scan's output, terminator included.
    static constexpr int kScanBytes = 200;
    // Word lists are looked at only for texts this short and with this few words.
    static constexpr int kMaxListedBytes = 80;
    static constexpr int kMaxListedWords = 30;
    // The debug command's list names, in category order, then the file of lines that fit none.
    static const char* const kDebugListNames[kCategoryCount + 1];

    CTexMo() = default;

    // Loads the 24 lists from "<current folder>\Data\prb\" and seeds the random picks.
    void Init(BOOL strict);
    // Loads "01.prb" ... "24.prb" from a folder; a missing file leaves its list empty.
    void LoadLists(const CString& folder);
    void Clear();
    BOOL IsInitialised() const { return m_bInitialised; }
    BOOL IsStrict() const { return m_bStrict; }
    void SetStrict(BOOL strict) { m_bStrict = strict; }

    // The feeling of a text, 0-24; the emoticons found are taken out of the text.
    int Classify(CString& text) const;
    // The motion code for a text and a gender (0 male, 1 female); 0 is no motion.
    int Analyze(const CString& text, int gender) const;
    // The motion code of a feeling, a variant picked at random where it has several.
    static int MotionOf(int category, int gender);

    const std::vector<std::string>& List(int category) const { return m_lists[category - 1]; }

private:
    int ClassifyWords(const std::string& text) const;

    std::vector<std::string> m_lists[kCategoryCount];
    BOOL m_bStrict = TRUE;
    BOOL m_bInitialised = FALSE;
};

// The emoticons of a text: the last one's feeling (0 when none) and the text without them, at
// most CTexMo::kScanBytes - 1 bytes of it.
int ScanEmoticons(std::string& text);
// The Korean question word ending a text, or laughter or crying anywhere in it: a feeling or 0.
int ClassifyKoreanWords(const std::string& text);
// Complements every byte of a zero-terminated string in place.
void InvertString(char* text);
// Reads a line up to and including its line feed (a zero byte ends it too, not stored) into
// `buffer` with a terminator: the bytes read; -1 when `length` was reached first or the stream
// failed; 0 at the end.
int ReadTextLine(FILE* stream, char* buffer, int length);
// Splits at spaces (only the space character), skipping runs of them.
void SplitWords(const std::string& text, std::vector<std::string>* words);

// The program's one analyser (null until start-up makes it).
extern CTexMo* g_pTexMo;
