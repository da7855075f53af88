// Text output through a DC: ExtTextOut and its kin.
#include "Paint.h"

using namespace yonda::gdi;

BOOL ExtTextOutA(HDC hdc, int x, int y, UINT options, const RECT* lprect, LPCSTR lpString, UINT c, const INT* lpDx)
{
    auto dc = LookupDC(hdc);
    if (!dc)
        return FALSE;
    if ((options & ETO_OPAQUE) && lprect)
        FillLogicalRect(*dc, *lprect, dc->state.bkColor);
    return TRUE;
}
