#include "SkinDialog.h"

#include "ImageFile.h"
#include "ToolkitShared.h"

CSkinDialog::CSkinDialog(CSkinElement* element, UINT templateId, CWnd* parent)
    : CDialog(templateId, parent), m_pElement(element)
{
    if (element) {
        m_strImage = element->strImage;
    }
}

CSkinDialog::~CSkinDialog()
{
    ReleaseMemoryDC();
    m_bmpBack.Detach();
    delete m_pSkin;
}

BOOL CSkinDialog::CreateSkinButton(CSoundButton* button, CSkinElement* element, CWnd* parent, int tabStop)
{
    if (!button || !element) {
        return FALSE;
    }
    if (element->bmpImage.GetSafeHandle()) {
        button->SetBitmap(static_cast<HBITMAP>(element->bmpImage.GetSafeHandle()));
    } else {
        // strImage is already the whole path.
        HBITMAP loaded = nullptr;
        if (!TryLoadBitmapHandle(element->strImage, &loaded)) {
            return FALSE;
        }
        button->AdoptBitmap(loaded);
    }
    const DWORD style = WS_CHILD | WS_VISIBLE | BS_OWNERDRAW | (tabStop ? WS_TABSTOP : 0);
    if (!button->Create(element->strTitle, style, element->rcRect, parent, static_cast<UINT>(element->nID))) {
        return FALSE;
    }
    button->SizeToBitmap();
    return TRUE;
}

BOOL CSkinDialog::CreateSkinChild(CSkinStatic* child, const char* section)
{
    return m_pSkin && CreateSkinSelector(*m_pSkin, child, this, section);
}

void CSkinDialog::ResizeToSkin()
{
    SetWindowPos(nullptr, 0, 0, m_nWidth, m_nHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
}

void CSkinDialog::SetBackground(CBitmap* bitmap)
{
    if (!m_bmpBack.GetSafeHandle() && bitmap && bitmap->GetSafeHandle()) {
        m_bmpBack.Attach(bitmap->GetSafeHandle());
    }
    BITMAP info{};
    if (!m_bmpBack.GetSafeHandle() || !m_bmpBack.GetBitmap(&info)) {
        return;
    }
    m_nWidth = info.bmWidth;
    m_nHeight = info.bmHeight;
    ResizeToSkin();
}

int CSkinDialog::OnCreate(LPCREATESTRUCT cs)
{
    if (CDialog::OnCreate(cs) == -1) {
        return -1;
    }
    if (!m_pSkin) {
        m_pSkin = new CDialogSkin;
    }
    m_pSkin->SetSkinPath(ToolkitSkinFolder());
    // A dialog whose skin fails still opens, without its pictures.
    if (m_pElement) {
        m_pSkin->LoadIni(m_pElement->strIniFile);
    }
    SetBackground(&m_pSkin->m_bmpBase);
    return 0;
}

BOOL CSkinDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    CClientDC client(this);
    if (m_bmpBack.GetSafeHandle() && m_dcMem.CreateCompatibleDC(&client)) {
        m_pOldBitmap = m_dcMem.SelectObject(&m_bmpBack);
    }
    CenterWindow();
    return TRUE;
}

void CSkinDialog::ReleaseMemoryDC()
{
    if (!m_dcMem.GetSafeHdc()) {
        return;
    }
    if (m_pOldBitmap) {
        m_dcMem.SelectObject(m_pOldBitmap);
        m_pOldBitmap = nullptr;
    }
    m_dcMem.DeleteDC();
}

BOOL CSkinDialog::OnEraseBkgnd(CDC* dc)
{
    if (dc && m_dcMem.GetSafeHdc() && m_bmpBack.GetSafeHandle()) {
        dc->BitBlt(0, 0, m_nWidth, m_nHeight, &m_dcMem, 0, 0, SRCCOPY);
    }
    return TRUE;
}

void CSkinDialog::OnLButtonDown(UINT flags, CPoint point)
{
    if (point.y >= 0 && point.y < 17) {
        SendMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
    }
    CDialog::OnLButtonDown(flags, point);
}

BOOL CSkinDialog::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
        case kDialogOk: OnSkinOk(); return TRUE;
        case kDialogCancel: OnSkinCancel(); return TRUE;
        case kDialogClose: OnSkinClose(); return TRUE;
        default: break;
        }
    }
    return CDialog::OnCommand(wParam, lParam);
}

void CSkinDialog::OnDestroy()
{
    ReleaseMemoryDC();
    m_bmpBack.Detach();
    CDialog::OnDestroy();
    delete m_pSkin;
    m_pSkin = nullptr;
}
