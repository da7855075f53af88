#include "MotionWordsTable.h"

#include "MotionOppositeTable.h"

#include <IniFile.h>
#include <ToolkitShared.h>

namespace {
// Far more than a skin lists: a larger count is the file's mistake, not memory to take.
constexpr int kMaxEntries = 256;
constexpr int kMaxWords = 256;
} // namespace

int CMotionWordsTable::Load()
{
    return LoadFile(ToolkitSkinFolder() + "\\MotionOppositionString.ini");
}

int CMotionWordsTable::LoadFile(const char* path)
{
    m_entries.clear();
    CIniFile ini;
    if (!ini.Load(path)) {
        return 1;
    }
    int total = 0;
    ini.GetInt("Header", "nTotalEmotion", &total);
    total = total < 0 ? 0 : (total > kMaxEntries ? kMaxEntries : total);
    for (int i = 0; i < total; ++i) {
        CString section;
        section.Format("Emotion%d", i);
        MOTION_WORDS_ENTRY entry;
        int words = 0;
        ini.GetInt(section, "nTotalOppStr", &words);
        words = words < 0 ? 0 : (words > kMaxWords ? kMaxWords : words);
        for (int w = 0; w < words; ++w) {
            CString key;
            key.Format("str%d", w);
            CString word;
            if (!ini.GetString(section, key, &word)) {
                break;
            }
            entry.words.emplace_back(word.GetString());
        }
        entry.maleMotions = ReadMotions(ini, section, "nTotalOppMale", "mm");
        entry.femaleMotions = ReadMotions(ini, section, "nTotalOppFemale", "fm");
        m_entries.push_back(std::move(entry));
    }
    return 1;
}

int CMotionWordsTable::FindWord(const char* word) const
{
    if (m_entries.empty()) {
        return -1;
    }
    for (size_t i = 0; i < m_entries.size() && word; ++i) {
        for (const std::string& listed : m_entries[i].words) {
            if (listed == word) {
                return static_cast<int>(i);
            }
        }
    }
    return 0;
}

int CMotionWordsTable::PickMotion(int entry, int gender) const
{
    if (entry < 0 || entry >= GetCount()) {
        return -1;
    }
    const MOTION_WORDS_ENTRY& chosen = m_entries[static_cast<size_t>(entry)];
    return PickGenderMotion(chosen.maleMotions, chosen.femaleMotions, gender);
}
