#include "UserInfoDlg.h"

#include <AvatarViewWnd.h>
#include <ImageFile.h>
#include <SkinDraw.h>
#include <ToolkitShared.h>

CUserInfoDlg::CUserInfoDlg(CSkinElement* element, CWnd* parent) : CSkinDialog(element, kTemplate, parent)
{
    m_pSkin = new CUserInfoDlgSkin;
}

CUserInfoDlg::~CUserInfoDlg() = default;

int CUserInfoDlg::OnCreate(LPCREATESTRUCT cs)
{
    if (CSkinDialog::OnCreate(cs) == -1) {
        return -1;
    }
    CUserInfoLayout& layout = Layout();
    CreateSkinButton(&m_btnClose, m_pSkin->Element("CloseBtn"), this, FALSE);
    for (int i = 0; i < CUserInfoLayout::BUTTON_COUNT; ++i) {
        CreateSkinButton(&m_btnButtons[i], &layout.m_elButtons[i], this, TRUE);
    }
    const CSkinElement& nick = layout.m_elControls[CUserInfoLayout::EDIT_NICK];
    const CSkinElement& intro = layout.m_elControls[CUserInfoLayout::EDIT_INTRO];
    m_editNick.Create(WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, nick.rcRect, this, static_cast<UINT>(nick.nID));
    m_editIntro.Create(WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL, intro.rcRect, this,
                       static_cast<UINT>(intro.nID));
    const CString folder = ToolkitSkinFolder() + "\\";
    // The own member's information is what the layout shows first.
    LoadBitmapFile(folder + layout.m_strBgMyInfo, &m_bmpBackground, nullptr);
    LoadBitmapFile(folder + layout.m_strImageMyInfo, &m_bmpSub, nullptr);
    return 0;
}

void CUserInfoDlg::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    SkinDrawBackground(&dc, client, m_bmpBackground.GetSafeHandle() ? &m_bmpBackground : &m_bmpBack, 3);
    if (m_bmpSub.GetSafeHandle()) {
        BITMAP info{};
        m_bmpSub.GetBitmap(&info);
        CDC mem;
        mem.CreateCompatibleDC(&dc);
        CBitmap* old = mem.SelectObject(&m_bmpSub);
        dc.BitBlt(Layout().m_ptSubBg.x, Layout().m_ptSubBg.y, info.bmWidth, info.bmHeight, &mem, 0, 0, SRCCOPY);
        mem.SelectObject(old);
    }
}

void CUserInfoDlg::OnDestroy()
{
    m_bmpBackground.DeleteObject();
    m_bmpSub.DeleteObject();
    CSkinDialog::OnDestroy();
}

LRESULT CUserInfoDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // No preview here: a reset of the device has nothing to pause.
    if (message == CAvatarViewWnd::kDeviceLost || message == CAvatarViewWnd::kDeviceRestored) {
        return 1;
    }
    return CSkinDialog::WindowProc(message, wParam, lParam);
}
