#pragma once
// The skin's motion keys ("\MotionOppositionKey.ini"): a key the member presses plays one motion
// picked at random from that key's motions for the avatar's gender.
#include <afxwin.h>

#include <vector>

class CIniFile;

// The motions listed under "<prefix>0" .. "<prefix>(count - 1)" of a section, at most 256; a
// missing one ends the list.
std::vector<int> ReadMotions(const CIniFile& ini, const CString& section, const char* countKey, const char* prefix);
// gender 0 or 'M' picks one of the male motions at random, 1 or 'F' one of the female ones; -1
// for another gender value or an empty list.
int PickGenderMotion(const std::vector<int>& male, const std::vector<int>& female, int gender);

struct MOTION_KEY_ENTRY {
    int nKeyCode = 0;
    std::vector<int> maleMotions;
    std::vector<int> femaleMotions;
};

class CMotionOppositeTable {
public:
    // Reads "\MotionOppositionKey.ini" of the skin folder. 1.
    int Load();
    // Reads the given file in place of the current table. 1.
    int LoadFile(const char* path);
    // The first entry whose key code equals the character, or null.
    const MOTION_KEY_ENTRY* Find(int key) const;
    // gender 0 or 'M' picks among the male motions, 1 or 'F' among the female ones: a motion
    // code, or -1 for a key not in the table, another gender value, or a key with no motion for
    // the gender.
    int PickRandom(int key, int gender) const;

    int GetKeyCount() const { return static_cast<int>(m_entries.size()); }

private:
    std::vector<MOTION_KEY_ENTRY> m_entries;
};
