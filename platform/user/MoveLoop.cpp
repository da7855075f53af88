// The move loop started by WM_NCLBUTTONDOWN on HTCAPTION: the window follows the cursor (a child
// moves within its parent) and gets WM_MOVE as it goes.
#include "MoveLoop.h"

namespace yonda::user {

void RunMoveLoop(HWND hwnd)
{
    if (!(GetKeyState(VK_LBUTTON) & 0x8000))
        return;
    POINT start;
    GetCursorPos(&start);
    RECT startRect;
    GetWindowRect(hwnd, &startRect);
    HWND parent = (GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD) ? GetParent(hwnd) : nullptr;
    POINT origin{startRect.left, startRect.top};
    if (parent)
        ScreenToClient(parent, &origin);
    SetCapture(hwnd);
    SendMessageA(hwnd, WM_ENTERSIZEMOVE, 0, 0);
    MSG msg;
    while (IsWindow(hwnd) && GetCapture() == hwnd) {
        if (!GetMessageA(&msg, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) {
            if (msg.message == WM_LBUTTONUP)
                break;
            if (msg.message != WM_MOUSEMOVE)
                continue;
            POINT now = msg.pt;
            SetWindowPos(hwnd, nullptr, origin.x + (now.x - start.x), origin.y + (now.y - start.y), 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            continue;
        }
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
            SetWindowPos(hwnd, nullptr, origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (GetCapture() == hwnd)
        ReleaseCapture();
    if (IsWindow(hwnd))
        SendMessageA(hwnd, WM_EXITSIZEMOVE, 0, 0);
}

} // namespace yonda::user
