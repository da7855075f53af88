#pragma once
// What the toolkit takes from the running client: the shared GUI font, the normal cursor, the
// folder of the current skin, the sound-off option, the message-dialog skin, the string table and
// the main frame's switch for its child windows. The client fills them in at start-up; until then
// the controls fall back to the stock GUI font, the arrow cursor, an empty folder, sound on, no
// message skin, no string table and no main frame to switch.
#include <afxwin.h>

#include <functional>

class CDialogSkin;

HFONT ToolkitGuiFont();
HCURSOR ToolkitNormalCursor();
CString ToolkitSkinFolder();

void ToolkitSetGuiFont(HFONT font);
void ToolkitSetNormalCursor(HCURSOR cursor);
void ToolkitSetSkinFolder(const CString& folder);

// The program-wide sound-off option.
BOOL ToolkitSoundOff();
void ToolkitSetSoundOff(BOOL off);
// Plays one of the program's WAVE resources without waiting, unless sound is off.
void ToolkitPlayWave(UINT resourceId);

// The one message-dialog skin every notify box is drawn from (not owned).
CDialogSkin* ToolkitMessageSkin();
void ToolkitSetMessageSkin(CDialogSkin* skin);

// The string table of the current skin. Without one (before the session exists) there are no
// table texts and messages that need them are not shown.
using ToolkitTableStrings = std::function<CString(LPCSTR key)>;
void ToolkitSetTableStrings(ToolkitTableStrings lookup);
BOOL ToolkitHasTableStrings();
CString ToolkitTableString(LPCSTR key);

// Enables or disables every child window of the main frame but one (a shown popup frame is
// modal over the others).
using ToolkitChildEnabler = std::function<void(CWnd* except, BOOL enable)>;
void ToolkitSetChildEnabler(ToolkitChildEnabler enabler);
void ToolkitEnableChildren(CWnd* except, BOOL enable);

// `format` with its first "%s" replaced by `argument` and "%%" read as '%'; every other '%' is
// copied as it stands. Texts that come from data files are formatted this way, so a stray
// directive in them can never read an argument that is not there.
CString ToolkitFormatText(const CString& format, LPCSTR argument);

// Answers WM_GETTEXTLENGTH and WM_GETTEXT with `text` for a window that draws its text itself,
// so readers of window texts (accessibility tools, the automation hook) read what it shows:
// TRUE with the answer in *result for those two messages, FALSE for any other.
BOOL ToolkitAnswerTextQuery(const CString& text, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
