#pragma once
// The user information window's layout as a modal dialog, opened by a chat command to look at
// the layout: its buttons, its edits and its backgrounds, with no member in it.
#include "UserInfoLayout.h"

#include <SkinDialog.h>
#include <SkinEdit.h>

class CUserInfoDlg : public CSkinDialog {
public:
    static constexpr UINT kTemplate = 134;

    CUserInfoDlg(CSkinElement* element, CWnd* parent);
    ~CUserInfoDlg() override;

    CUserInfoLayout& Layout() const { return static_cast<CUserInfoDlgSkin*>(m_pSkin)->m_layout; }

    CSoundButton m_btnButtons[CUserInfoLayout::BUTTON_COUNT];
    CSkinEdit m_editNick;
    CSkinEdit m_editIntro;

protected:
    int OnCreate(LPCREATESTRUCT cs) override;
    void OnPaint() override;
    void OnDestroy() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    CBitmap m_bmpBackground;
    CBitmap m_bmpSub;
};
