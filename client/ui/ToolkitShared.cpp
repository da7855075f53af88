#include "ToolkitShared.h"

namespace {

struct Shared {
    HFONT font = nullptr;
    HCURSOR cursor = nullptr;
    CString skinFolder;
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
