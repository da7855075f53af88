// The standard classes (the dialog class and the controls), registered on first use of any class.
// Callers hold UserLock().
#include "ControlState.h"
#include "WindowClass.h"

#include <cstring>

namespace yonda::user {

void RegisterDialogClass();
void RegisterButtonClass();
void RegisterEditClass();
void RegisterStaticClass();
void RegisterProgressClass();
void RegisterToolTipClass();
void RegisterRichEditClasses();

void RegisterControlClass(LPCSTR name, WNDPROC proc, UINT style, LPCSTR cursor)
{
    WindowClass cls;
    cls.name = name;
    cls.proc = proc;
    cls.style = style | CS_GLOBALCLASS;
    cls.cbWndExtra = sizeof(LONG_PTR);
    cls.cursor = LoadCursorA(nullptr, cursor ? cursor : IDC_ARROW);
    AddClass(cls);
}

void PutClipboardText(HWND owner, std::string_view text)
{
    if (text.empty() || !OpenClipboard(owner))
        return;
    EmptyClipboard();
    if (HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
        if (char* bytes = static_cast<char*>(GlobalLock(block))) {
            text.copy(bytes, text.size());
            bytes[text.size()] = '\0';
            GlobalUnlock(block);
        }
        if (!SetClipboardData(CF_TEXT, block))
            GlobalFree(block);
    }
    CloseClipboard();
}

std::string ClipboardText(HWND owner)
{
    std::string text;
    if (!OpenClipboard(owner))
        return text;
    if (HANDLE block = GetClipboardData(CF_TEXT)) {
        if (const char* bytes = static_cast<const char*>(GlobalLock(block))) {
            text.assign(bytes, strnlen(bytes, GlobalSize(block)));
            GlobalUnlock(block);
        }
    }
    CloseClipboard();
    return text;
}

void EnsureSystemClasses()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    RegisterDialogClass();
    RegisterButtonClass();
    RegisterEditClass();
    RegisterStaticClass();
    RegisterProgressClass();
    RegisterToolTipClass();
    RegisterRichEditClasses();
}

} // namespace yonda::user
