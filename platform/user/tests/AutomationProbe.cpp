// A small program of the platform for the automation hook's tests, built like the client: an
// application object whose start may run a modal dialog first (--dialog-first), then a main
// window "Probe Main" (class "ProbeMain") with
//   101 an edit, 102 a button that runs the modal dialog, 103 a label that tells what happened,
//   104 a button whose handler posts a message that sets the label later, 105 a pad that tells
//   its clicks, double clicks, right clicks and keys, 106 a multi-line edit.
// The dialog "Probe Dialog" has 201 an edit, IDOK, IDCANCEL and 202 a button that shows a
// message box. The program prints "probe: exit CODE" when it leaves through its exit code.
#include <afxwin.h>
#include <yonda_user.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr UINT kPosted = WM_APP + 1;
constexpr COLORREF kBackground = RGB(30, 60, 90);
constexpr COLORREF kPad = RGB(200, 120, 40);

HWND g_label = nullptr;

void Tell(const std::string& text)
{
    ::SetWindowTextA(g_label, text.c_str());
}

class ProbeDialog : public CDialog {
public:
    ProbeDialog() : CDialog("PROBE_DIALOG") {}
    CString m_text;

protected:
    void OnOK() override
    {
        GetDlgItemText(201, m_text);
        CDialog::OnOK();
    }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        if (LOWORD(wParam) == 202) {
            int answer = ::MessageBoxA(m_hWnd, "Box text", "Probe Box", MB_OKCANCEL);
            SetDlgItemText(201, answer == IDOK ? "box ok" : "box cancel");
            return TRUE;
        }
        return CDialog::OnCommand(wParam, lParam);
    }
};

void RegisterDialog()
{
    static const YondaDialogItem items[] = {
        {"EDIT", "", 201, WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 0, 10, 10, 200, 24},
        {"BUTTON", "OK", IDOK, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 10, 50, 60, 24},
        {"BUTTON", "Cancel", IDCANCEL, WS_VISIBLE | WS_TABSTOP, 0, 80, 50, 60, 24},
        {"BUTTON", "Box", 202, WS_VISIBLE | WS_TABSTOP, 0, 150, 50, 60, 24},
    };
    YondaDialogTemplate dialog{WS_POPUP | WS_BORDER, 0, 120, 120, 240, 90, "Probe Dialog", items, 4};
    YondaAddDialogTemplate("PROBE_DIALOG", &dialog);
}

LRESULT CALLBACK PadProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    static bool s_double = false;
    switch (message) {
    case WM_LBUTTONDOWN: ::SetFocus(hwnd); return 0;
    case WM_LBUTTONUP:
        // The release that ends a double click leaves its word standing.
        if (!s_double)
            Tell("click " + std::to_string(GET_X_LPARAM(lParam)) + "," + std::to_string(GET_Y_LPARAM(lParam)));
        s_double = false;
        return 0;
    case WM_LBUTTONDBLCLK:
        Tell("double");
        s_double = true;
        return 0;
    case WM_RBUTTONUP: Tell("right"); return 0;
    case WM_KEYDOWN:
        if (wParam == VK_CONTROL)
            return 0;
        Tell(std::string("key ") + ((::GetKeyState(VK_CONTROL) & 0x8000) ? "ctrl+" : "") + std::to_string(wParam));
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(hwnd, &ps);
        RECT rc;
        ::GetClientRect(hwnd, &rc);
        HBRUSH brush = ::CreateSolidBrush(kPad);
        ::FillRect(dc, &rc, brush);
        ::DeleteObject(brush);
        ::EndPaint(hwnd, &ps);
        return 0;
    }
    default: return ::DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

class ProbeFrame : public CFrameWnd {
public:
    BOOL Make(const char* title)
    {
        WNDCLASSA main{};
        main.style = CS_DBLCLKS;
        main.lpfnWndProc = &::DefWindowProcA;
        main.lpszClassName = "ProbeMain";
        ::RegisterClassA(&main);
        WNDCLASSA pad{};
        pad.style = CS_DBLCLKS;
        pad.lpfnWndProc = &PadProc;
        pad.lpszClassName = "ProbePad";
        ::RegisterClassA(&pad);
        if (!CreateEx(0, "ProbeMain", title, WS_POPUP | WS_VISIBLE, 40, 40, 400, 200, nullptr, nullptr))
            return FALSE;
        auto child = [this](const char* cls, const char* text, DWORD style, int id, int x, int y, int w, int h) {
            return ::CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, m_hWnd,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
        };
        child("EDIT", "", WS_BORDER | ES_AUTOHSCROLL, 101, 10, 10, 200, 24);
        child("BUTTON", "Dialog", 0, 102, 10, 40, 80, 24);
        g_label = child("STATIC", "ready", 0, 103, 10, 70, 300, 20);
        child("BUTTON", "Post", 0, 104, 100, 40, 80, 24);
        child("ProbePad", "", 0, 105, 10, 100, 100, 60);
        child("EDIT", "", WS_BORDER | ES_MULTILINE | ES_WANTRETURN, 106, 220, 10, 150, 60);
        ::SetFocus(::GetDlgItem(m_hWnd, 101));
        return TRUE;
    }

protected:
    BOOL OnEraseBkgnd(CDC* dc) override
    {
        RECT rc;
        GetClientRect(&rc);
        HBRUSH brush = ::CreateSolidBrush(kBackground);
        ::FillRect(dc->m_hDC, &rc, brush);
        ::DeleteObject(brush);
        return TRUE;
    }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        switch (LOWORD(wParam)) {
        case 102: {
            ProbeDialog dialog;
            INT_PTR result = dialog.DoModal();
            Tell(result == IDOK ? "dialog: " + std::string(dialog.m_text) : "dialog: cancelled");
            return TRUE;
        }
        case 104: PostMessage(kPosted); return TRUE;
        default: return CFrameWnd::OnCommand(wParam, lParam);
        }
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == kPosted) {
            Tell("posted");
            return 0;
        }
        return CFrameWnd::WindowProc(message, wParam, lParam);
    }
};

class ProbeApp : public CWinApp {
public:
    BOOL InitInstance() override
    {
        RegisterDialog();
        const char* title = "Probe Main";
        bool dialogFirst = false;
        for (char* arg = std::strtok(m_lpCmdLine, " "); arg; arg = std::strtok(nullptr, " ")) {
            if (std::strcmp(arg, "--dialog-first") == 0)
                dialogFirst = true;
            if (std::strcmp(arg, "--other-title") == 0)
                title = "Probe \"Other\" Main";
        }
        if (dialogFirst) {
            ProbeDialog dialog;
            if (dialog.DoModal() != IDOK)
                return FALSE;
        }
        auto* frame = new ProbeFrame;
        if (!frame->Make(title))
            return FALSE;
        m_pMainWnd = frame;
        return TRUE;
    }
    int ExitInstance() override
    {
        int code = CWinApp::ExitInstance();
        std::printf("probe: exit %d\n", code);
        std::fflush(stdout);
        return code;
    }
};

ProbeApp g_app;

} // namespace

int main(int argc, char** argv)
{
    return AfxWinMain(argc, argv);
}
