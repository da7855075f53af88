#include "NoticeDlg.h"

#include "ImageFile.h"
#include "NotifyDlg.h"

constexpr UINT kNoticeTemplate = 135;

CNoticeDlg::CNoticeDlg(CSkinElement* element, CWnd* parent) : CSkinDialog(element, kNoticeTemplate, parent)
{
    m_pSkin = new CNoticeSkin;
}

CNoticeDlg::~CNoticeDlg()
{
    m_bmpNotice.DeleteObject();
}

bool CNoticeDlg::SetNoticeBitmap(CString path)
{
    if (!LoadBitmapFile(path, &m_bmpNotice, nullptr)) {
        m_bmpNotice.DeleteObject();
        ShowFileReadError(path);
        return false;
    }
    return true;
}

int CNoticeDlg::OnCreate(LPCREATESTRUCT cs)
{
    if (!m_pSkin) {
        m_pSkin = new CNoticeSkin;
    }
    if (CSkinDialog::OnCreate(cs) == -1) {
        return -1;
    }
    CreateSkinButton(&m_btnClose, &m_pSkin->m_elCloseBtn, this, 0);
    CreateSkinButton(&m_btnOK, m_pSkin->Element("OKBTN"), this, 1);
    CreateSkinButton(&m_btnCancel, m_pSkin->Element("CANCELBTN"), this, 1);
    return 0;
}

void CNoticeDlg::OnPaint()
{
    CPaintDC dc(this);
    if (m_bmpNotice.GetSafeHandle()) {
        BITMAP info{};
        m_bmpNotice.GetBitmap(&info);
        CDC mem;
        mem.CreateCompatibleDC(&dc);
        CBitmap* old = mem.SelectObject(&m_bmpNotice);
        // Shrinking keeps whole pixels rather than ANDing the dropped rows into the kept ones.
        dc.SetStretchBltMode(COLORONCOLOR);
        const RECT& at = Skin()->m_elBitmapWnd.rcRect;
        dc.StretchBlt(at.left, at.top, m_nImageWidth, m_nImageHeight, &mem, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
        mem.SelectObject(old);
    }
    RECT text = Skin()->m_rcMessage;
    dc.SetBkMode(TRANSPARENT);
    HGDIOBJ oldFont = dc.SelectObject(ToolkitGuiFont());
    dc.DrawText(m_strMessage, &text, DT_CENTER);
    dc.SelectObject(oldFont);
}

void CNoticeDlg::OnDestroy()
{
    CSkinDialog::OnDestroy();
    m_bmpNotice.DeleteObject();
}
