// The areas a member may say it lives in: the code the member records and the search queries carry
// (at most three characters, so a query's cut never changes it) and the key of its display text in
// the skins' strings. The skins' area selectors, the service's demo members and its user search
// all take their areas from here, so a code shown in one place is found in the others.
#pragma once

#include <string_view>

namespace yonda::proto {

struct AreaCode {
    const char* code;
    const char* textKey;
};

inline constexpr AreaCode kAreaCodes[] = {
    {"1", "AREA_1"}, {"2", "AREA_2"}, {"3", "AREA_3"}, {"4", "AREA_4"},
    {"5", "AREA_5"}, {"6", "AREA_6"}, {"7", "AREA_7"}, {"8", "AREA_8"},
};
inline constexpr size_t kAreaCount = sizeof(kAreaCodes) / sizeof(kAreaCodes[0]);

// What a search sends for "any area" (an empty code means the same).
inline constexpr std::string_view kAnyArea = "-1";

inline bool IsAreaCode(std::string_view code)
{
    for (const AreaCode& area : kAreaCodes) {
        if (code == area.code) {
            return true;
        }
    }
    return false;
}

} // namespace yonda::proto
