// The clipboard: text only (CF_TEXT, bytes in the active code page with "\r\n" line breaks). With
// a display the text lives on the desktop's clipboard as UTF-8 with "\n" breaks, so other programs
// see it; without one it is kept in the process. One thread at a time has it open.
#include "../user/Display.h"

#include <windows.h>

#include <cstring>
#include <mutex>
#include <optional>
#include <string>

namespace {

struct ClipboardState {
    std::mutex mutex;
    DWORD openThread = 0; // 0 while closed
    HWND owner = nullptr;
    std::optional<std::string> localText; // headless: the text, in the active code page
    HGLOBAL given = nullptr;              // the block SetClipboardData took over
    HGLOBAL handed = nullptr;             // the block GetClipboardData handed out last
};

ClipboardState& State()
{
    static ClipboardState& state = *new ClipboardState; // used until the last thread ends
    return state;
}

// The caller must hold the state's mutex.
bool OpenedHere()
{
    return State().openThread != 0 && State().openThread == GetCurrentThreadId();
}

void FreeBlock(HGLOBAL& block)
{
    if (block)
        GlobalFree(block);
    block = nullptr;
}

std::string ToDesktop(const std::string& text)
{
    std::string utf8 = YondaCodePageToUtf8(text, 0);
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n')
            continue;
        out += utf8[i];
    }
    return out;
}

std::string FromDesktop(const std::string& utf8)
{
    std::string crlf;
    crlf.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\r') {
            crlf += "\r\n";
            if (i + 1 < utf8.size() && utf8[i + 1] == '\n')
                ++i;
        } else if (utf8[i] == '\n') {
            crlf += "\r\n";
        } else {
            crlf += utf8[i];
        }
    }
    return YondaUtf8ToCodePage(crlf, 0);
}

// The text of a memory block: up to its first zero byte, never past its end.
std::string TextOfBlock(HGLOBAL block)
{
    SIZE_T size = GlobalSize(block);
    const char* bytes = static_cast<const char*>(GlobalLock(block));
    if (!bytes)
        return {};
    std::string text(bytes, strnlen(bytes, size));
    GlobalUnlock(block);
    return text;
}

std::optional<std::string> CurrentText()
{
    if (auto* display = yonda::user::CurrentDisplay()) {
        std::string utf8 = display->ClipboardText();
        if (utf8.empty())
            return std::nullopt;
        return FromDesktop(utf8);
    }
    return State().localText;
}

} // namespace

BOOL OpenClipboard(HWND hWndNewOwner)
{
    std::lock_guard lock(State().mutex);
    DWORD self = GetCurrentThreadId();
    if (State().openThread && State().openThread != self) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    State().openThread = self;
    State().owner = hWndNewOwner;
    return TRUE;
}

BOOL CloseClipboard()
{
    std::lock_guard lock(State().mutex);
    if (!OpenedHere()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    State().openThread = 0;
    return TRUE;
}

BOOL EmptyClipboard()
{
    std::lock_guard lock(State().mutex);
    if (!OpenedHere()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    FreeBlock(State().given);
    FreeBlock(State().handed);
    State().localText.reset();
    if (auto* display = yonda::user::CurrentDisplay())
        display->SetClipboardText(std::string());
    return TRUE;
}

HANDLE SetClipboardData(UINT uFormat, HANDLE hMem)
{
    std::lock_guard lock(State().mutex);
    if (!OpenedHere()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    // Only text is carried, and always at once: no rendering on request.
    if (uFormat != CF_TEXT || !hMem || GlobalSize(hMem) == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::string text = TextOfBlock(hMem);
    // The block belongs to the clipboard from now on; it is freed when the clipboard is emptied.
    if (State().given != hMem)
        FreeBlock(State().given);
    State().given = hMem;
    if (auto* display = yonda::user::CurrentDisplay())
        display->SetClipboardText(ToDesktop(text));
    else
        State().localText = std::move(text);
    return hMem;
}

HANDLE GetClipboardData(UINT uFormat)
{
    std::lock_guard lock(State().mutex);
    if (!OpenedHere()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    if (uFormat != CF_TEXT)
        return nullptr;
    std::optional<std::string> text = CurrentText();
    if (!text)
        return nullptr;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text->size() + 1);
    if (!block)
        return nullptr;
    if (char* bytes = static_cast<char*>(GlobalLock(block))) {
        std::memcpy(bytes, text->data(), text->size());
        bytes[text->size()] = '\0';
        GlobalUnlock(block);
    }
    // The clipboard keeps what it hands out: the caller reads it and must not free it.
    FreeBlock(State().handed);
    State().handed = block;
    return block;
}

BOOL IsClipboardFormatAvailable(UINT format)
{
    if (format != CF_TEXT)
        return FALSE;
    std::lock_guard lock(State().mutex);
    return CurrentText() ? TRUE : FALSE;
}
