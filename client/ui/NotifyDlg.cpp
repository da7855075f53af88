#include "NotifyDlg.h"

#include "DialogSkin.h"
#include "ImageFile.h"
#include "SkinDialog.h"
#include "ToolkitShared.h"

#include <string>

namespace {

constexpr UINT kNotifyTemplate = 132;
constexpr int kLineHeight = 20;

const char* ButtonSection(const char* name, BOOL secondSet)
{
    static const std::string suffix = "2";
    static thread_local std::string section;
    section = name;
    if (secondSet) {
        section += suffix;
    }
    return section.c_str();
}

} // namespace

CNotifyDlg::CNotifyDlg(CString layoutName, CWnd* parent)
    : CDialog(kNotifyTemplate, parent), m_bByText(0), m_nFontHeight(13), m_strSection(layoutName)
{
    MakeFont();
}

CNotifyDlg::CNotifyDlg(CString text, int buttonFlags, int fontHeight, CWnd* parent)
    : CDialog(kNotifyTemplate, parent), m_bByText(1), m_nButtonFlags(buttonFlags), m_strText(text),
      m_nFontHeight(fontHeight), m_strSection("NotifyDlg")
{
    MakeFont();
}

CNotifyDlg::~CNotifyDlg()
{
    m_fontMessage.DeleteObject();
    if (m_bOwnsBack) {
        m_bmpBack.DeleteObject();
    } else {
        m_bmpBack.Detach();
    }
}

void CNotifyDlg::MakeFont()
{
    LOGFONTA log{};
    ::GetObjectA(ToolkitGuiFont(), sizeof log, &log);
    log.lfWeight = FW_BOLD;
    log.lfHeight = m_nFontHeight;
    m_fontMessage.CreateFontIndirect(&log);
}

int CNotifyDlg::AddLine(CString line)
{
    m_lines.AddHead(line);
    m_nLineCount = static_cast<int>(m_lines.GetCount());
    return m_nLineCount;
}

int CNotifyDlg::InsertLine(int index, CString line)
{
    POSITION at = m_lines.FindIndex(index);
    if (at) {
        m_lines.InsertAfter(at, line);
    } else {
        m_lines.AddTail(line);
    }
    m_nLineCount = static_cast<int>(m_lines.GetCount());
    return m_nLineCount;
}

int CNotifyDlg::FirstLineTop(int count)
{
    static const int tops[] = {168, 160, 152, 143, 133};
    if (count >= 1 && count <= 5) {
        return tops[count - 1];
    }
    // From six lines on the box starts them all at the same place.
    return 123;
}

BOOL CNotifyDlg::MakeButton(CSoundButton* button, CSkinElement* element, BOOL tabStop)
{
    if (!element || !button->SetBitmap(static_cast<HBITMAP>(element->bmpImage.GetSafeHandle()))) {
        return FALSE;
    }
    const DWORD style = WS_CHILD | WS_VISIBLE | BS_OWNERDRAW | (tabStop ? WS_TABSTOP : 0);
    if (!button->Create(element->strTitle, style, element->rcRect, this, static_cast<UINT>(element->nID))) {
        return FALSE;
    }
    button->SizeToBitmap();
    return TRUE;
}

void CNotifyDlg::Resize()
{
    BITMAP info{};
    if (!m_bmpBack.GetSafeHandle() || !m_bmpBack.GetBitmap(&info)) {
        return;
    }
    m_nWidth = info.bmWidth;
    m_nHeight = info.bmHeight;
    SetWindowPos(nullptr, 0, 0, m_nWidth, m_nHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
}

int CNotifyDlg::OnCreate(LPCREATESTRUCT cs)
{
    if (CDialog::OnCreate(cs) == -1) {
        return -1;
    }
    ::SetClassLongPtrA(m_hWnd, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(ToolkitNormalCursor()));
    CDialogSkin* skin = ToolkitMessageSkin();
    int buttonType = 0;
    int yesNo = 0;
    int cancel = 0;
    if (skin) {
        skin->GetRect("COMMON", "MESSAGE_RECT", &m_rcMessage);
        if (m_strBkImage.IsEmpty()) {
            skin->GetString(m_strSection, "BkImage", &m_strBkImage);
        }
        if (m_strTitle.IsEmpty()) {
            skin->GetString(m_strSection, "TitleMessage", &m_strTitle);
        }
        skin->GetInt(m_strSection, "ButtonType", &buttonType);
        if (!m_bByText) {
            skin->GetList(m_strSection, "Message", &m_lines);
            skin->GetInt(m_strSection, "YesNo", &yesNo);
            skin->GetInt(m_strSection, "CancelBtn", &cancel);
        }
    }

    if (buttonType) {
        const CString path = ToolkitSkinFolder() + "\\" + m_strBkImage;
        if (LoadBitmapFile(path, &m_bmpBack, nullptr)) {
            m_bOwnsBack = TRUE;
            Resize();
        } else {
            m_bmpBack.DeleteObject();
            ShowFileReadError(path);
        }
    } else if (skin && skin->m_bmpBase.GetSafeHandle()) {
        // The skin's picture, borrowed: the skin deletes it.
        m_bmpBack.Attach(skin->m_bmpBase.GetSafeHandle());
        Resize();
    }

    if (skin) {
        MakeButton(&m_btnClose, &skin->m_elCloseBtn, FALSE);
        const BOOL second = !m_bByText && buttonType != 0;
        const bool twoYesNo = m_bByText ? (m_nButtonFlags & kNotifyYesNo) != 0 : yesNo != 0;
        const bool twoOkCancel = m_bByText ? (m_nButtonFlags & kNotifyOkCancel) != 0 : cancel != 0;
        if (twoYesNo) {
            MakeButton(&m_btnFirst, skin->Element(ButtonSection("YESBTN", second)), TRUE);
            MakeButton(&m_btnSecond, skin->Element(ButtonSection("NOBTN", second)), TRUE);
        } else if (twoOkCancel) {
            MakeButton(&m_btnFirst, skin->Element(ButtonSection("OKBTN", second)), TRUE);
            MakeButton(&m_btnSecond, skin->Element(ButtonSection("CANCELBTN", second)), TRUE);
        } else {
            MakeButton(&m_btnFirst, skin->Element(ButtonSection("SINGLEBTN", second)), TRUE);
            m_bSingleButton = 1;
        }
    } else {
        m_bSingleButton = m_bByText ? !(m_nButtonFlags & (kNotifyYesNo | kNotifyOkCancel)) : 1;
    }

    // The text's pieces as the ini lists are split: empty inner pieces kept, a last empty one not.
    const std::string& text = m_strText.Str();
    size_t p = 0;
    while (p < text.size()) {
        const size_t semicolon = text.find(';', p);
        if (semicolon == std::string::npos) {
            m_lines.AddTail(CString(text.substr(p)));
            break;
        }
        m_lines.AddTail(CString(text.substr(p, semicolon - p)));
        p = semicolon + 1;
    }
    m_nLineCount = static_cast<int>(m_lines.GetCount());
    return 0;
}

BOOL CNotifyDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CClientDC client(this);
    if (m_bmpBack.GetSafeHandle() && m_dcMem.CreateCompatibleDC(&client)) {
        m_pOldBitmap = m_dcMem.SelectObject(&m_bmpBack);
    }
    GetClientRect(&m_rcDrag);
    m_rcDrag.bottom = m_rcDrag.top + 20;
    // A box opened by a text is named by it, so a list of the windows says what it tells.
    if (m_bByText) {
        CString title = m_strText;
        title.Replace(';', ' ');
        SetWindowText(title);
    }
    // Centred once its final size is known.
    CenterWindow();
    if (m_bSingleButton) {
        ToolkitPlayWave(kWaveNotice);
    }
    return TRUE;
}

BOOL CNotifyDlg::OnEraseBkgnd(CDC* dc)
{
    if (dc && m_dcMem.GetSafeHdc()) {
        dc->BitBlt(0, 0, m_nWidth, m_nHeight, &m_dcMem, 0, 0, SRCCOPY);
    }
    return TRUE;
}

void CNotifyDlg::OnPaint()
{
    CPaintDC dc(this);
    dc.SetBkMode(TRANSPARENT);
    LOGFONTA log{};
    ::GetObjectA(ToolkitGuiFont(), sizeof log, &log);
    log.lfWeight = FW_BOLD;
    CFont titleFont;
    titleFont.CreateFontIndirect(&log);
    CFont* oldFont = dc.SelectObject(&titleFont);
    CRect title(18, 4, m_nWidth - 20, 17);
    const COLORREF oldColour = dc.SetTextColor(RGB(255, 255, 255));
    dc.DrawText(m_strTitle, &title, DT_CENTER | DT_NOPREFIX);
    dc.SetTextColor(RGB(0, 0, 0));
    title.OffsetRect(-1, -1);
    dc.DrawText(m_strTitle, &title, DT_CENTER | DT_NOPREFIX);
    dc.SetTextColor(oldColour);
    dc.SelectObject(&m_fontMessage);
    if (m_nLineCount) {
        int y = FirstLineTop(m_nLineCount);
        for (POSITION at = m_lines.GetHeadPosition(); at;) {
            CRect line(0, y, m_nWidth, y + kLineHeight);
            dc.DrawText(m_lines.GetNext(at), &line, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
            y += kLineHeight;
        }
    }
    dc.SelectObject(oldFont);
}

void CNotifyDlg::OnLButtonDown(UINT flags, CPoint point)
{
    if (::PtInRect(&m_rcDrag, point)) {
        m_snap.SetWindows(nullptr, 0);
        m_snap.BeginDrag(this, point.x, point.y);
    }
    CDialog::OnLButtonDown(flags, point);
}

void CNotifyDlg::OnMouseMove(UINT flags, CPoint point)
{
    if (m_snap.IsDragging()) {
        m_snap.OnDrag(this);
    }
    CDialog::OnMouseMove(flags, point);
}

void CNotifyDlg::OnLButtonUp(UINT flags, CPoint point)
{
    if (m_snap.IsDragging()) {
        m_snap.EndDrag(this);
    }
    CDialog::OnLButtonUp(flags, point);
}

void CNotifyDlg::Confirm()
{
    if (!m_bSingleButton) {
        ToolkitPlayWave(kWaveConfirm);
    }
    EndDialog(IDOK);
}

BOOL CNotifyDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
        case kDialogOk: Confirm(); return TRUE;
        case kDialogCancel:
        case kDialogClose: EndDialog(IDCANCEL); return TRUE;
        default: break;
        }
    }
    return CDialog::OnCommand(wParam, lParam);
}

BOOL CNotifyDlg::PreTranslateMessage(MSG* msg)
{
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) {
        SendMessage(WM_COMMAND, MAKEWPARAM(kDialogOk, BN_CLICKED), 0);
        return TRUE;
    }
    return CDialog::PreTranslateMessage(msg);
}

void CNotifyDlg::OnDestroy()
{
    if (m_dcMem.GetSafeHdc()) {
        if (m_pOldBitmap) {
            m_dcMem.SelectObject(m_pOldBitmap);
            m_pOldBitmap = nullptr;
        }
        m_dcMem.DeleteDC();
    }
    // The skin's picture is only borrowed; a picture of the box's own goes with it.
    if (m_bOwnsBack) {
        m_bmpBack.DeleteObject();
    } else {
        m_bmpBack.Detach();
    }
    m_bOwnsBack = FALSE;
    CDialog::OnDestroy();
    m_lines.RemoveAll();
}

int ShowNotifyBox(CString text, int buttonFlags, int fontHeight)
{
    CNotifyDlg box(text, buttonFlags, fontHeight, nullptr);
    return static_cast<int>(box.DoModal());
}

void ShowFileReadError(CString path)
{
    if (!ToolkitHasTableStrings()) {
        return;
    }
    const int slash = path.ReverseFind('\\');
    const CString name = slash >= 0 ? path.Mid(slash + 1) : path;
    // The table text is data: only its one "%s" is filled in.
    ShowNotifyBox(ToolkitFormatText(ToolkitTableString("E_FILE_READ"), name), 0, 13);
}

CString GetModuleDirectory()
{
    char path[MAX_PATH * 4] = {};
    ::GetModuleFileNameA(nullptr, path, sizeof path);
    const CString file(path);
    const int slash = file.ReverseFind('\\');
    return slash >= 0 ? file.Left(slash) : CString();
}

CString FormatNumber(int value)
{
    const long long wide = value;
    std::string digits = std::to_string(wide < 0 ? -wide : wide);
    std::string out;
    const int lead = static_cast<int>(digits.size() % 3);
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (static_cast<int>(i) - lead) % 3 == 0) {
            out += ',';
        }
        out += digits[i];
    }
    return CString((wide < 0 ? "-" : "") + out);
}
