// The message box as a window of the window system: a frameless popup with its own caption strip,
// the text laid out by DrawTextA, a sign for the MB_ICON* kind and the buttons of the MB_* kind.
// It runs its own modal loop with the owner disabled: Enter presses the default button, Escape
// answers as the cancel button where the box has one (or its only button).
#include "yonda_display.h"

#include <windows.h>

#include <algorithm>
#include <mutex>
#include <vector>

namespace {

constexpr char kClassName[] = "YondaMessageBox";
constexpr int kCaptionHeight = 22;
constexpr int kMargin = 14;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 24;
constexpr int kButtonGap = 8;
constexpr int kIconSize = 32;
constexpr int kMaxTextWidth = 420;
constexpr COLORREF kCaptionColor = RGB(0x2B, 0x4A, 0x7E);
constexpr COLORREF kFrameColor = RGB(0x40, 0x40, 0x40);

struct Button {
    int id;
    const char* label;
};

std::vector<Button> ButtonsOf(UINT type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {{IDOK, "OK"}, {IDCANCEL, "Cancel"}};
    case MB_ABORTRETRYIGNORE: return {{IDABORT, "Abort"}, {IDRETRY, "Retry"}, {IDIGNORE, "Ignore"}};
    case MB_YESNOCANCEL: return {{IDYES, "Yes"}, {IDNO, "No"}, {IDCANCEL, "Cancel"}};
    case MB_YESNO: return {{IDYES, "Yes"}, {IDNO, "No"}};
    case MB_RETRYCANCEL: return {{IDRETRY, "Retry"}, {IDCANCEL, "Cancel"}};
    default: return {{IDOK, "OK"}};
    }
}

struct Box {
    std::string text;
    std::string caption;
    UINT type = 0;
    std::vector<Button> buttons;
    int defaultId = IDOK;
    int escapeId = 0; // 0: Escape does nothing
    RECT textRect{};
    int answer = 0;
    bool done = false;
};

Box* BoxOf(HWND hwnd)
{
    return reinterpret_cast<Box*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

HFONT BoxFont()
{
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void End(HWND hwnd, int answer)
{
    if (Box* box = BoxOf(hwnd)) {
        box->answer = answer;
        box->done = true;
    }
}

const char* SignOf(UINT type, COLORREF* color)
{
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND: *color = RGB(0xC8, 0x20, 0x20); return "X";
    case MB_ICONQUESTION: *color = RGB(0x20, 0x50, 0xC0); return "?";
    case MB_ICONEXCLAMATION: *color = RGB(0xE0, 0xA8, 0x00); return "!";
    case MB_ICONASTERISK: *color = RGB(0x20, 0x50, 0xC0); return "i";
    default: return nullptr;
    }
}

void Paint(HWND hwnd, Box& box)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (!dc)
        return;
    RECT client;
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    HFONT old = static_cast<HFONT>(SelectObject(dc, BoxFont()));
    SetBkMode(dc, TRANSPARENT);

    RECT caption{0, 0, client.right, kCaptionHeight};
    HBRUSH captionBrush = CreateSolidBrush(kCaptionColor);
    FillRect(dc, &caption, captionBrush);
    DeleteObject(captionBrush);
    SetTextColor(dc, RGB(0xFF, 0xFF, 0xFF));
    RECT captionText = caption;
    captionText.left += 8;
    DrawTextA(dc, box.caption.c_str(), -1, &captionText, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);

    COLORREF signColor = 0;
    if (const char* sign = SignOf(box.type, &signColor)) {
        RECT icon{kMargin, kCaptionHeight + kMargin, kMargin + kIconSize, kCaptionHeight + kMargin + kIconSize};
        HBRUSH brush = CreateSolidBrush(signColor);
        FillRect(dc, &icon, brush);
        DeleteObject(brush);
        SetTextColor(dc, RGB(0xFF, 0xFF, 0xFF));
        DrawTextA(dc, sign, -1, &icon, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
    }
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    RECT text = box.textRect;
    DrawTextA(dc, box.text.c_str(), -1, &text, DT_WORDBREAK | DT_NOPREFIX);

    // A frame, since the desktop draws none round a popup.
    HBRUSH frame = CreateSolidBrush(kFrameColor);
    FrameRect(dc, &client, frame);
    DeleteObject(frame);
    SelectObject(dc, old);
    EndPaint(hwnd, &ps);
}

LRESULT CALLBACK BoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Box* box = BoxOf(hwnd);
    switch (msg) {
    case WM_PAINT:
        if (box) {
            Paint(hwnd, *box);
            return 0;
        }
        break;
    case WM_ERASEBKGND: return 1;
    case WM_COMMAND:
        if (box && HIWORD(wParam) == BN_CLICKED) {
            int id = LOWORD(wParam);
            for (const Button& b : box->buttons)
                if (b.id == id)
                    End(hwnd, id);
        }
        return 0;
    case WM_LBUTTONDOWN:
        // The caption strip moves the box.
        if (GET_Y_LPARAM(lParam) < kCaptionHeight) {
            SendMessageA(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, lParam);
            return 0;
        }
        break;
    case WM_CLOSE:
        if (box && box->escapeId)
            End(hwnd, box->escapeId);
        return 0;
    default: break;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void RegisterBoxClass()
{
    static std::once_flag once;
    std::call_once(once, [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = BoxProc;
        wc.lpszClassName = kClassName;
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        RegisterClassA(&wc);
    });
}

// The size of the text laid out as the box will draw it.
SIZE MeasureText(const std::string& text)
{
    HDC dc = GetDC(nullptr);
    HFONT old = static_cast<HFONT>(SelectObject(dc, BoxFont()));
    RECT r{0, 0, kMaxTextWidth, 0};
    DrawTextA(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return SIZE{std::min<LONG>(r.right - r.left, kMaxTextWidth), r.bottom - r.top};
}

// Handles the keys the box answers to; true when the message was the box's.
bool BoxKey(HWND hwnd, Box& box, const MSG& msg)
{
    if (msg.message != WM_KEYDOWN || (msg.hwnd != hwnd && !IsChild(hwnd, msg.hwnd)))
        return false;
    if (msg.wParam == VK_RETURN) {
        HWND focus = GetFocus();
        int id = focus && IsChild(hwnd, focus) ? GetDlgCtrlID(focus) : box.defaultId;
        bool isButton =
            std::any_of(box.buttons.begin(), box.buttons.end(), [id](const Button& b) { return b.id == id; });
        End(hwnd, isButton ? id : box.defaultId);
        return true;
    }
    if (msg.wParam == VK_ESCAPE) {
        if (box.escapeId)
            End(hwnd, box.escapeId);
        return true;
    }
    return false;
}

} // namespace

int YondaMessageBoxWindow(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType)
{
    RegisterBoxClass();
    Box box;
    box.text = lpText ? lpText : "";
    box.caption = lpCaption ? lpCaption : "Error";
    box.type = uType;
    box.buttons = ButtonsOf(uType);
    size_t defaultIndex = std::min<size_t>((uType & MB_DEFMASK) >> 8, box.buttons.size() - 1);
    box.defaultId = box.buttons[defaultIndex].id;
    for (const Button& b : box.buttons)
        if (b.id == IDCANCEL)
            box.escapeId = IDCANCEL;
    if (box.buttons.size() == 1)
        box.escapeId = box.buttons[0].id;

    // Layout: sign and text side by side above a row of buttons, centred over the owner.
    SIZE text = MeasureText(box.text);
    COLORREF unused;
    int textLeft = kMargin + (SignOf(uType, &unused) ? kIconSize + kMargin : 0);
    int buttonsWidth = static_cast<int>(box.buttons.size()) * (kButtonWidth + kButtonGap) - kButtonGap;
    int width = std::max({textLeft + static_cast<int>(text.cx) + kMargin, buttonsWidth + 2 * kMargin, 220});
    int bodyHeight = std::max<int>(text.cy, SignOf(uType, &unused) ? kIconSize : 0);
    int height = kCaptionHeight + kMargin + bodyHeight + kMargin + kButtonHeight + kMargin;
    box.textRect = RECT{textLeft, kCaptionHeight + kMargin, textLeft + static_cast<int>(text.cx),
                        kCaptionHeight + kMargin + static_cast<int>(text.cy)};
    HWND owner = hWnd ? GetAncestor(hWnd, GA_ROOT) : nullptr;
    RECT area;
    if (!owner || !GetWindowRect(owner, &area))
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    int x = area.left + ((area.right - area.left) - width) / 2;
    int y = area.top + ((area.bottom - area.top) - height) / 2;

    HWND hwnd = CreateWindowExA(WS_EX_TOPMOST, kClassName, box.caption.c_str(), WS_POPUP | WS_CLIPCHILDREN, x, y, width,
                                height, owner, nullptr, nullptr, nullptr);
    if (!hwnd)
        return 0;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&box));
    int bx = (width - buttonsWidth) / 2, by = height - kMargin - kButtonHeight;
    HWND defaultButton = nullptr;
    for (const Button& b : box.buttons) {
        bool isDefault = b.id == box.defaultId;
        HWND button = CreateWindowExA(
            0, "BUTTON", b.label, WS_CHILD | WS_VISIBLE | WS_TABSTOP | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
            bx, by, kButtonWidth, kButtonHeight, hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(b.id)), nullptr,
            nullptr);
        SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(BoxFont()), FALSE);
        if (isDefault)
            defaultButton = button;
        bx += kButtonWidth + kButtonGap;
    }

    // The owner takes no input while the box is up (only one of this thread: another thread's
    // window could be waiting for this one).
    bool disabledOwner = false;
    if (owner && IsWindowEnabled(owner) && GetWindowThreadProcessId(owner, nullptr) == GetCurrentThreadId()) {
        EnableWindow(owner, FALSE);
        disabledOwner = true;
    }
    ShowWindow(hwnd, SW_SHOW);
    SetActiveWindow(hwnd);
    if (defaultButton)
        SetFocus(defaultButton);

    bool quit = false;
    int quitCode = 0;
    while (!box.done) {
        MSG msg;
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            // WM_QUIT ends the box as Escape would and goes on to the loop outside.
            quit = true;
            quitCode = static_cast<int>(msg.wParam);
            box.answer = box.escapeId ? box.escapeId : box.defaultId;
            break;
        }
        if (got < 0 || !IsWindow(hwnd))
            break;
        if (BoxKey(hwnd, box, msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    // The owner is enabled before the box goes, so activation returns to it.
    if (disabledOwner)
        EnableWindow(owner, TRUE);
    if (IsWindow(hwnd)) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        DestroyWindow(hwnd);
    }
    if (quit)
        PostQuitMessage(quitCode);
    return box.answer ? box.answer : box.defaultId;
}

namespace {

int PresentBox(void*, HWND hWnd, LPCSTR text, LPCSTR caption, UINT type)
{
    return YondaMessageBoxWindow(hWnd, text, caption, type);
}

} // namespace

void YondaUseMessageBoxWindow(BOOL use)
{
    YondaSetMessageBoxPresenter(use ? &PresentBox : nullptr, nullptr);
}
