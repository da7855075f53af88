#pragma once
// A small skinned dialog that asks for one line of text: the password of a closed room. Enter
// confirms as OK does.
#include "RoomDlgSkin.h"

#include <SkinDialog.h>
#include <SkinEdit.h>

class CTextInputDlg : public CSkinDialog {
public:
    static constexpr UINT kTemplate = 136;
    // A room's password is kept in 13 bytes with its terminator.
    static constexpr int kTextLimit = 12;

    CTextInputDlg(CSkinElement* element, CWnd* parent);

    BOOL PreTranslateMessage(MSG* msg) override;
    void OnSkinOk() override;

    CString m_strText;
    CSkinEdit m_editText;

protected:
    int OnCreate(LPCREATESTRUCT cs) override;
    BOOL OnInitDialog() override;
};
