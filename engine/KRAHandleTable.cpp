#include "KRAHandleTable.h"

static DWORD g_dwKRASerial = 0;

_KRA_HANDLE KRAIssueHandle(DWORD dwIndex)
{
    ++g_dwKRASerial;
    if (g_dwKRASerial > 0xFFFF)
        g_dwKRASerial = 1;
    return (g_dwKRASerial << 16) | (dwIndex & 0xFFFF);
}

void KRASetSerialCounter(DWORD dwLast)
{
    g_dwKRASerial = dwLast;
}

int KRACompareNoCase(std::string_view a, std::string_view b)
{
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        unsigned char ca = static_cast<unsigned char>(a[i]);
        unsigned char cb = static_cast<unsigned char>(b[i]);
        if (ca >= 'A' && ca <= 'Z')
            ca = static_cast<unsigned char>(ca - 'A' + 'a');
        if (cb >= 'A' && cb <= 'Z')
            cb = static_cast<unsigned char>(cb - 'A' + 'a');
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}
