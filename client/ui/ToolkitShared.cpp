#include "ToolkitShared.h"

#include <mmsystem.h>

#include <algorithm>
#include <cstring>

namespace {

struct Shared {
    HFONT font = nullptr;
    HCURSOR cursor = nullptr;
    CString skinFolder;
    BOOL soundOff = FALSE;
    CDialogSkin* messageSkin = nullptr;
    ToolkitTableStrings tableStrings;
    ToolkitChildEnabler childEnabler;
};

Shared& Current()
{
    static Shared shared;
    return shared;
}

} // namespace

HFONT ToolkitGuiFont()
{
    return Current().font ? Current().font : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

HCURSOR ToolkitNormalCursor()
{
    return Current().cursor ? Current().cursor : ::LoadCursorA(nullptr, IDC_ARROW);
}

CString ToolkitSkinFolder()
{
    return Current().skinFolder;
}

void ToolkitSetGuiFont(HFONT font)
{
    Current().font = font;
}

void ToolkitSetNormalCursor(HCURSOR cursor)
{
    Current().cursor = cursor;
}

void ToolkitSetSkinFolder(const CString& folder)
{
    Current().skinFolder = folder;
}

BOOL ToolkitSoundOff()
{
    return Current().soundOff;
}

void ToolkitSetSoundOff(BOOL off)
{
    Current().soundOff = off;
}

void ToolkitPlayWave(UINT resourceId)
{
    if (Current().soundOff) {
        return;
    }
    ::PlaySoundA(MAKEINTRESOURCE(resourceId), AfxGetResourceHandle(), SND_RESOURCE | SND_ASYNC);
}

CDialogSkin* ToolkitMessageSkin()
{
    return Current().messageSkin;
}

void ToolkitSetMessageSkin(CDialogSkin* skin)
{
    Current().messageSkin = skin;
}

void ToolkitSetTableStrings(ToolkitTableStrings lookup)
{
    Current().tableStrings = std::move(lookup);
}

BOOL ToolkitHasTableStrings()
{
    return Current().tableStrings ? TRUE : FALSE;
}

CString ToolkitTableString(LPCSTR key)
{
    return Current().tableStrings ? Current().tableStrings(key) : CString();
}

void ToolkitSetChildEnabler(ToolkitChildEnabler enabler)
{
    Current().childEnabler = std::move(enabler);
}

void ToolkitEnableChildren(CWnd* except, BOOL enable)
{
    if (Current().childEnabler) {
        Current().childEnabler(except, enable);
    }
}

CString ToolkitFormatText(const CString& format, LPCSTR argument)
{
    const std::string& text = format.Str();
    std::string out;
    bool substituted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size()) {
            if (text[i + 1] == '%') {
                out += '%';
                ++i;
                continue;
            }
            if (text[i + 1] == 's' && !substituted) {
                out += argument ? argument : "";
                substituted = true;
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return CString(out);
}

BOOL ToolkitAnswerTextQuery(const CString& text, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message == WM_GETTEXTLENGTH) {
        *result = text.GetLength();
        return TRUE;
    }
    if (message != WM_GETTEXT) {
        return FALSE;
    }
    const int room = static_cast<int>(wParam);
    *result = 0;
    if (lParam && room > 0) {
        const int count = std::min(text.GetLength(), room - 1);
        std::memcpy(reinterpret_cast<char*>(lParam), text.GetString(), static_cast<size_t>(count));
        reinterpret_cast<char*>(lParam)[count] = '\0';
        *result = count;
    }
    return TRUE;
}
