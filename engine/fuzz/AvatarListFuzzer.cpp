// Any bytes as an avatar list: the parser must refuse or accept without reading past the end.
#include "KRAAvatarListFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    KRA_AVATAR_LIST_DATA list;
    KRAParseAvatarList(data, size, list);
    DWORD adwHeader[3];
    KRAParseAvatarListHeader(data, size, adwHeader);
    return 0;
}
