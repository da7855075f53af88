#include "KRAAvatarListFormat.h"

#include "KRAByteReader.h"

LONG KRAParseAvatarListHeader(const uint8_t* pData, size_t nSize, DWORD (&adwHeader)[3])
{
    CKRAByteReader reader(pData, nSize);
    for (DWORD& dw : adwHeader)
        dw = reader.U32();
    return reader.Ok() ? KRA_OK : KRA_E_FAILED;
}

LONG KRAParseAvatarList(const uint8_t* pData, size_t nSize, KRA_AVATAR_LIST_DATA& out)
{
    out = KRA_AVATAR_LIST_DATA();
    CKRAByteReader reader(pData, nSize);
    for (DWORD& dw : out.adwHeader)
        dw = reader.U32();
    int32_t nCount = reader.I32();
    // An entry is at least its kind and its name length.
    if (!reader.Ok() || nCount < 0 || !reader.Has(uint32_t(nCount), 8))
        return KRA_E_FAILED;
    out.vItems.resize(size_t(nCount));
    for (KRA_AVATAR_LIST_ENTRY& entry : out.vItems) {
        entry.dwKind = reader.U32();
        DWORD dwLength = reader.U32();
        if (!reader.Ok() || dwLength > KRA_AVATAR_LIST_NAME_MAX || !reader.Has(dwLength, 1)) {
            out = KRA_AVATAR_LIST_DATA();
            return KRA_E_FAILED;
        }
        entry.strName.assign(reinterpret_cast<const char*>(reader.Here()), dwLength);
        reader.Skip(dwLength);
    }
    return KRA_OK;
}
