#pragma once
// The chat's motion words ("\MotionOppositionString.ini" of the skin): each emotion has its slash
// words ("/hi") and its motions by gender. A slash word, or an item of the chat's emotion menu,
// plays one of its emotion's motions picked at random.
#include <afxwin.h>

#include <string>
#include <vector>

struct MOTION_WORDS_ENTRY {
    std::vector<std::string> words;
    std::vector<int> maleMotions;
    std::vector<int> femaleMotions;
};

class CMotionWordsTable {
public:
    // Reads "\MotionOppositionString.ini" of the skin folder; a missing file gives an empty table.
    int Load();
    int LoadFile(const char* path);

    // The first entry holding the word (exact bytes), else entry 0; -1 when the table is empty.
    int FindWord(const char* word) const;
    // A motion of the entry for the gender (0 or 'M', 1 or 'F'), or -1 when the entry does not
    // exist or has none for the gender.
    int PickMotion(int entry, int gender) const;

    int GetCount() const { return static_cast<int>(m_entries.size()); }
    const MOTION_WORDS_ENTRY& Entry(int index) const { return m_entries[static_cast<size_t>(index)]; }

private:
    std::vector<MOTION_WORDS_ENTRY> m_entries;
};
