// Any bytes as an ini file: every lookup and a rewrite must stay inside the lines.
#include "IniFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CIniFile ini;
    ini.LoadText(text);
    const size_t cut = text.find('\n');
    const std::string first(text.substr(0, cut == std::string_view::npos ? text.size() : cut));
    const char* names[] = {"Common", "COMMON", "MainWindow", first.c_str(), ""};
    for (const char* section : names) {
        for (const char* key : names) {
            CString value;
            int number = 0;
            RECT rect{};
            POINT point{};
            CStringList list;
            ini.GetString(section, key, &value);
            ini.GetInt(section, key, &number);
            ini.GetRect(section, key, &rect);
            ini.GetPoint(section, key, &point);
            ini.GetList(section, key, &list);
            ini.IsSectionLine(static_cast<int>(size % 7) - 1);
        }
    }
    ini.SetString(first.c_str(), "Rect", first.c_str());
    ini.SetInt("Common", first.c_str(), static_cast<int>(size));
    return 0;
}
