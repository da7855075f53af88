// Window device contexts. Until the drawing layer exists, windows paint into no DC.
#include "WindowDC.h"

namespace yonda::user {

HDC OpenWindowDC(HWND, const RECT*, bool) {
    return nullptr;
}

void CloseWindowDC(HDC) {}

HWND WindowOfDC(HDC) {
    return nullptr;
}

bool RegionBox(HRGN, RECT*) {
    return false;
}

}  // namespace yonda::user

namespace yonda::user {

bool FillWindowBackground(HDC, const RECT&, HBRUSH) {
    return false;
}

HBRUSH DefaultControlColor(UINT, HDC) {
    return nullptr;
}

}  // namespace yonda::user
