// CRichEditCtrl: the rich edit control's messages as MFC's member functions.
#include <afxcmn.h>

#include <algorithm>
#include <cstring>
#include <vector>

BOOL CRichEditCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CWnd::Create(RICHEDIT_CLASS10A, nullptr, style, rect, parent, id);
}

void CRichEditCtrl::SetSel(long start, long end)
{
    CHARRANGE range{static_cast<LONG>(start), static_cast<LONG>(end)};
    ::SendMessageA(m_hWnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

void CRichEditCtrl::GetSel(long& start, long& end) const
{
    CHARRANGE range{0, 0};
    ::SendMessageA(m_hWnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    start = range.cpMin;
    end = range.cpMax;
}

CString CRichEditCtrl::GetSelText() const
{
    CHARRANGE range{0, 0};
    GetSel(range);
    std::vector<char> buffer(static_cast<size_t>(std::max<LONG>(range.cpMax - range.cpMin, 0)) + 1, '\0');
    long n = GetSelText(buffer.data());
    return CString(buffer.data(), static_cast<int>(n));
}

int CRichEditCtrl::GetTextRange(int first, int last, CString& text) const
{
    if (last < 0)
        last = GetTextLength();
    if (first < 0)
        first = 0;
    std::vector<char> buffer(static_cast<size_t>(std::max(last - first, 0)) + 1, '\0');
    TEXTRANGEA range{{first, last}, buffer.data()};
    int n = static_cast<int>(::SendMessageA(m_hWnd, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range)));
    text = CString(buffer.data(), n);
    return n;
}

// The line's bytes go to the buffer without a terminating zero, as the control gives them.
int CRichEditCtrl::GetLine(int line, LPSTR buffer, int maxLength) const
{
    if (!buffer || maxLength < static_cast<int>(sizeof(WORD)))
        return 0;
    WORD size = static_cast<WORD>(std::min(maxLength, 0xFFFF));
    std::memcpy(buffer, &size, sizeof size);
    return static_cast<int>(::SendMessageA(m_hWnd, EM_GETLINE, line, reinterpret_cast<LPARAM>(buffer)));
}

CPoint CRichEditCtrl::PosFromChar(UINT index) const
{
    POINT pt{0, 0};
    ::SendMessageA(m_hWnd, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&pt), static_cast<LPARAM>(index));
    return pt;
}
