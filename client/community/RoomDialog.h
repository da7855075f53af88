#pragma once
// What the room dialogs share: a skinned modal dialog over a room layout whose edits and
// drop-down selectors come from its skin, where Enter takes the dialog's OK step, and the room's
// texts cut to the record fields they travel in.
#include "RoomDlgSkin.h"

#include <SkinDialog.h>
#include <SkinStatic.h>

class CRoomDialog : public CSkinDialog {
public:
    // The room records' text fields: a name of 50 bytes, a subject of 30 and a password of 13,
    // each with its terminator.
    static constexpr int kNameLimit = 49;
    static constexpr int kSubjectLimit = 29;
    static constexpr int kPasswordLimit = 12;
    static constexpr UINT kTemplate = 140;

    // `skin` replaces the room layout (the question dialog has its own); the dialog owns it.
    CRoomDialog(CSkinElement* element, CWnd* parent, CDialogSkin* skin = nullptr);

    BOOL PreTranslateMessage(MSG* msg) override;

    // The text cut to `limit` bytes without splitting a double-byte character.
    static CString CutText(const CString& text, int limit);
    // The number at the start of a selector's tag (or text), 0 without one.
    static int SelectedNumber(const CSkinStatic& list);

protected:
    CRoomDlgSkin* RoomSkin() const { return static_cast<CRoomDlgSkin*>(m_pSkin); }
    // An edit at one of the room layout's edits (its id and rectangle), in the GUI font.
    BOOL CreateEdit(CEdit* edit, int element, DWORD style, int limit);
    // The close, OK and cancel buttons of the dialog's skin.
    void CreateCommonButtons();
    // A selector from the skin section `section`: Rect, ID, Image (its drop button), IniFile (its
    // menu, whose section is the selector's name) and DefaultIndex, the item shown first.
    BOOL CreateSelector(CSkinStatic* list, LPCSTR section);
    static CString WindowText(const CWnd& window);
    // A string-table text in a notify box with one button.
    static void ShowTableMessage(LPCSTR key);
};
