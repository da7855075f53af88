// Window classes: registered by name (case-insensitive) with their style, procedure, cursor,
// icon and background. The standard control classes register themselves on first use.
#include "WindowClass.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace yonda::user {
namespace {

std::string Key(LPCSTR name)
{
    std::string key = name ? name : "";
    for (char& c : key)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

struct ClassTable {
    std::map<std::string, std::shared_ptr<WindowClass>> byName;
    std::map<ATOM, std::shared_ptr<WindowClass>> byAtom;
    ATOM nextAtom = 0xC000;
};

ClassTable& Classes()
{
    static ClassTable table;
    return table;
}

} // namespace

std::shared_ptr<WindowClass> FindClass(LPCSTR name)
{
    std::lock_guard lock(UserLock());
    EnsureSystemClasses();
    auto& table = Classes();
    if (name == nullptr)
        return nullptr;
    if (IS_INTRESOURCE(name)) {
        auto it = table.byAtom.find(static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(name)));
        return it == table.byAtom.end() ? nullptr : it->second;
    }
    auto it = table.byName.find(Key(name));
    return it == table.byName.end() ? nullptr : it->second;
}

ATOM AddClass(const WindowClass& cls)
{
    std::lock_guard lock(UserLock());
    auto& table = Classes();
    std::string key = Key(cls.name.c_str());
    if (key.empty() || cls.proc == nullptr || table.byName.count(key))
        return 0;
    auto stored = std::make_shared<WindowClass>(cls);
    stored->atom = table.nextAtom++;
    table.byName[key] = stored;
    table.byAtom[stored->atom] = stored;
    return stored->atom;
}

bool RemoveClass(LPCSTR name)
{
    std::lock_guard lock(UserLock());
    auto cls = FindClass(name);
    if (!cls)
        return false;
    auto& table = Classes();
    table.byName.erase(Key(cls->name.c_str()));
    table.byAtom.erase(cls->atom);
    return true;
}

} // namespace yonda::user

using namespace yonda::user;

ATOM RegisterClassA(const WNDCLASSA* wc)
{
    if (wc == nullptr || wc->lpszClassName == nullptr)
        return 0;
    WindowClass cls;
    cls.name = wc->lpszClassName;
    cls.style = wc->style;
    cls.proc = wc->lpfnWndProc;
    cls.cbWndExtra = std::max(0, wc->cbWndExtra);
    cls.instance = wc->hInstance;
    cls.icon = wc->hIcon;
    cls.cursor = wc->hCursor;
    cls.background = wc->hbrBackground;
    return AddClass(cls);
}

ATOM RegisterClassExA(const WNDCLASSEXA* wc)
{
    if (wc == nullptr || wc->lpszClassName == nullptr)
        return 0;
    WNDCLASSA plain{wc->style, wc->lpfnWndProc, wc->cbClsExtra,    wc->cbWndExtra,   wc->hInstance,
                    wc->hIcon, wc->hCursor,     wc->hbrBackground, wc->lpszMenuName, wc->lpszClassName};
    ATOM atom = RegisterClassA(&plain);
    if (atom) {
        std::lock_guard lock(UserLock());
        FindClass(wc->lpszClassName)->iconSmall = wc->hIconSm;
    }
    return atom;
}

BOOL UnregisterClassA(LPCSTR name, HINSTANCE)
{
    return RemoveClass(name) ? TRUE : FALSE;
}

BOOL GetClassInfoA(HINSTANCE, LPCSTR name, LPWNDCLASSA out)
{
    std::lock_guard lock(UserLock());
    auto cls = FindClass(name);
    if (!cls || out == nullptr)
        return FALSE;
    *out = WNDCLASSA{cls->style,  cls->proc,       0,       cls->cbWndExtra,  cls->instance, cls->icon,
                     cls->cursor, cls->background, nullptr, cls->name.c_str()};
    return TRUE;
}

int GetClassNameA(HWND hwnd, LPSTR buffer, int size)
{
    std::lock_guard lock(UserLock());
    auto w = FindWindowPtr(hwnd);
    if (!w || buffer == nullptr || size <= 0)
        return 0;
    int n = static_cast<int>(std::min<size_t>(w->cls->name.size(), size - 1));
    std::copy_n(w->cls->name.data(), n, buffer);
    buffer[n] = '\0';
    return n;
}

ULONG_PTR GetClassLongPtrA(HWND hwnd, int index)
{
    std::lock_guard lock(UserLock());
    auto w = FindWindowPtr(hwnd);
    if (!w)
        return 0;
    const WindowClass& c = *w->cls;
    switch (index) {
    case GCL_HCURSOR: return reinterpret_cast<ULONG_PTR>(c.cursor);
    case GCL_HICON: return reinterpret_cast<ULONG_PTR>(c.icon);
    case GCL_HICONSM: return reinterpret_cast<ULONG_PTR>(c.iconSmall);
    case GCL_HBRBACKGROUND: return reinterpret_cast<ULONG_PTR>(c.background);
    case GCL_STYLE: return c.style;
    case GCL_WNDPROC: return reinterpret_cast<ULONG_PTR>(c.proc);
    case GCL_CBWNDEXTRA: return static_cast<ULONG_PTR>(c.cbWndExtra);
    case GCL_HMODULE: return reinterpret_cast<ULONG_PTR>(c.instance);
    default: return 0;
    }
}

ULONG_PTR SetClassLongPtrA(HWND hwnd, int index, LONG_PTR value)
{
    std::lock_guard lock(UserLock());
    auto w = FindWindowPtr(hwnd);
    if (!w)
        return 0;
    WindowClass& c = *w->cls;
    ULONG_PTR old = GetClassLongPtrA(hwnd, index);
    switch (index) {
    case GCL_HCURSOR: c.cursor = reinterpret_cast<HCURSOR>(value); break;
    case GCL_HICON: c.icon = reinterpret_cast<HICON>(value); break;
    case GCL_HICONSM: c.iconSmall = reinterpret_cast<HICON>(value); break;
    case GCL_HBRBACKGROUND: c.background = reinterpret_cast<HBRUSH>(value); break;
    case GCL_STYLE: c.style = static_cast<UINT>(value); break;
    case GCL_WNDPROC: c.proc = reinterpret_cast<WNDPROC>(value); break;
    default: return 0;
    }
    return old;
}

// Cursor and icon handles are small numbers, so the 32-bit forms carry them whole.
DWORD GetClassLongA(HWND hwnd, int index)
{
    return static_cast<DWORD>(GetClassLongPtrA(hwnd, index));
}

DWORD SetClassLongA(HWND hwnd, int index, LONG value)
{
    return static_cast<DWORD>(SetClassLongPtrA(hwnd, index, static_cast<LONG_PTR>(static_cast<DWORD>(value))));
}
