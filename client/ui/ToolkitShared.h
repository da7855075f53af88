#pragma once
// What the toolkit's controls take from the running client: the shared GUI font, the normal
// cursor and the folder of the current skin. The client sets them at start-up; until then the
// controls fall back to the stock GUI font, the arrow cursor and an empty folder.
#include <afxwin.h>

HFONT ToolkitGuiFont();
HCURSOR ToolkitNormalCursor();
CString ToolkitSkinFolder();

void ToolkitSetGuiFont(HFONT font);
void ToolkitSetNormalCursor(HCURSOR cursor);
void ToolkitSetSkinFolder(const CString& folder);
