#include "MotionOppositeTable.h"

#include <IniFile.h>
#include <ToolkitShared.h>

#include <cstdlib>

namespace {

// Far more than a skin lists; counts beyond them are the file's mistake, not memory to take.
constexpr int kMaxKeys = 256;
constexpr int kMaxMotionsPerKey = 256;

} // namespace

std::vector<int> ReadMotions(const CIniFile& ini, const CString& section, const char* countKey, const char* prefix)
{
    std::vector<int> motions;
    int count = 0;
    if (!ini.GetInt(section, countKey, &count)) {
        return motions;
    }
    count = count < 0 ? 0 : (count > kMaxMotionsPerKey ? kMaxMotionsPerKey : count);
    for (int i = 0; i < count; ++i) {
        CString key;
        key.Format("%s%d", prefix, i);
        int motion = 0;
        if (!ini.GetInt(section, key, &motion)) {
            break;
        }
        motions.push_back(motion);
    }
    return motions;
}

int PickGenderMotion(const std::vector<int>& male, const std::vector<int>& female, int gender)
{
    const std::vector<int>* motions = nullptr;
    if (gender == 0 || gender == 'M') {
        motions = &male;
    } else if (gender == 1 || gender == 'F') {
        motions = &female;
    }
    if (!motions || motions->empty()) {
        return -1;
    }
    return (*motions)[static_cast<size_t>(std::rand()) % motions->size()];
}

int CMotionOppositeTable::Load()
{
    return LoadFile(ToolkitSkinFolder() + "\\MotionOppositionKey.ini");
}

int CMotionOppositeTable::LoadFile(const char* path)
{
    m_entries.clear();
    CIniFile ini;
    ini.Load(path);
    int total = 0;
    ini.GetInt("Header", "nTotalKey", &total);
    total = total < 0 ? 0 : (total > kMaxKeys ? kMaxKeys : total);
    for (int k = 0; k < total; ++k) {
        CString section;
        section.Format("Key%d", k);
        MOTION_KEY_ENTRY entry;
        if (!ini.GetInt(section, "KeyChar", &entry.nKeyCode)) {
            continue;
        }
        entry.maleMotions = ReadMotions(ini, section, "Male", "mm");
        entry.femaleMotions = ReadMotions(ini, section, "Female", "fm");
        m_entries.push_back(std::move(entry));
    }
    return 1;
}

const MOTION_KEY_ENTRY* CMotionOppositeTable::Find(int key) const
{
    for (const MOTION_KEY_ENTRY& entry : m_entries) {
        if (static_cast<char>(entry.nKeyCode) == static_cast<char>(key)) {
            return &entry;
        }
    }
    return nullptr;
}

int CMotionOppositeTable::PickRandom(int key, int gender) const
{
    const MOTION_KEY_ENTRY* entry = Find(key);
    return entry ? PickGenderMotion(entry->maleMotions, entry->femaleMotions, gender) : -1;
}
