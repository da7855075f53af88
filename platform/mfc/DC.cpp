// CDC and the GDI object wrappers. FromHandle gives per-thread temporary wrappers that never own
// the handle, so wrapping a handle never deletes it.
#include <afxwin.h>

#include <map>
#include <memory>

namespace {

template <typename T, typename H>
T* Temporary(H handle)
{
    if (!handle)
        return nullptr;
    thread_local std::map<H, std::unique_ptr<T>> wrappers;
    auto& slot = wrappers[handle];
    if (!slot) {
        slot = std::make_unique<T>();
        slot->Attach(handle);
    }
    return slot.get();
}

// A temporary wrapper must not delete what it wraps when the thread ends.
template <typename T>
struct NonOwning : T {
    ~NonOwning() override { this->Detach(); }
};

} // namespace

CDC::~CDC()
{
    if (m_hDC)
        ::DeleteDC(Detach());
}

CDC* CDC::FromHandle(HDC dc)
{
    return Temporary<NonOwning<CDC>>(dc);
}

CPen* CPen::FromHandle(HPEN pen)
{
    return Temporary<NonOwning<CPen>>(static_cast<HGDIOBJ>(pen));
}

CBrush* CBrush::FromHandle(HBRUSH brush)
{
    return Temporary<NonOwning<CBrush>>(static_cast<HGDIOBJ>(brush));
}

CFont* CFont::FromHandle(HFONT font)
{
    return Temporary<NonOwning<CFont>>(static_cast<HGDIOBJ>(font));
}

CBitmap* CBitmap::FromHandle(HBITMAP bitmap)
{
    return Temporary<NonOwning<CBitmap>>(static_cast<HGDIOBJ>(bitmap));
}

CRgn* CRgn::FromHandle(HRGN region)
{
    return Temporary<NonOwning<CRgn>>(static_cast<HGDIOBJ>(region));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height)
{
    return Attach(::CreateCompatibleBitmap(dc ? dc->m_hDC : nullptr, width, height));
}

BOOL CFont::CreatePointFont(int pointSizeTenths, LPCSTR face, CDC* dc)
{
    LOGFONTA lf{};
    HDC screen = dc ? dc->m_hDC : ::GetDC(nullptr);
    lf.lfHeight = -((pointSizeTenths * ::GetDeviceCaps(screen, LOGPIXELSY) + 360) / 720);
    if (!dc)
        ::ReleaseDC(nullptr, screen);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    if (face)
        std::snprintf(lf.lfFaceName, sizeof lf.lfFaceName, "%s", face);
    return CreateFontIndirect(&lf);
}

CGdiObject* CDC::SelectStockObject(int index)
{
    HGDIOBJ old = ::SelectObject(m_hDC, ::GetStockObject(index));
    return old ? Temporary<NonOwning<CGdiObject>>(old) : nullptr;
}

CPen* CDC::SelectObject(CPen* pen)
{
    return CPen::FromHandle(static_cast<HPEN>(::SelectObject(m_hDC, pen ? pen->m_hObject : nullptr)));
}

CBrush* CDC::SelectObject(CBrush* brush)
{
    return CBrush::FromHandle(static_cast<HBRUSH>(::SelectObject(m_hDC, brush ? brush->m_hObject : nullptr)));
}

CFont* CDC::SelectObject(CFont* font)
{
    return CFont::FromHandle(static_cast<HFONT>(::SelectObject(m_hDC, font ? font->m_hObject : nullptr)));
}

CBitmap* CDC::SelectObject(CBitmap* bitmap)
{
    return CBitmap::FromHandle(static_cast<HBITMAP>(::SelectObject(m_hDC, bitmap ? bitmap->m_hObject : nullptr)));
}

CFont* CDC::GetCurrentFont() const
{
    return CFont::FromHandle(static_cast<HFONT>(::GetCurrentObject(m_hDC, OBJ_FONT)));
}

CBitmap* CDC::GetCurrentBitmap() const
{
    return CBitmap::FromHandle(static_cast<HBITMAP>(::GetCurrentObject(m_hDC, OBJ_BITMAP)));
}

void CDC::FillSolidRect(LPCRECT rect, COLORREF color)
{
    COLORREF old = ::SetBkColor(m_hDC, color);
    ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, rect, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, old);
}

CPaintDC::CPaintDC(CWnd* wnd) : m_hWnd(CWnd::HwndOf(wnd))
{
    Attach(::BeginPaint(m_hWnd, &m_ps));
}

CPaintDC::~CPaintDC()
{
    Detach();
    ::EndPaint(m_hWnd, &m_ps);
}

CClientDC::CClientDC(CWnd* wnd) : m_hWnd(CWnd::HwndOf(wnd))
{
    Attach(::GetDC(m_hWnd));
}

CClientDC::~CClientDC()
{
    ::ReleaseDC(m_hWnd, Detach());
}
