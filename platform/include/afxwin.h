// The MFC subset: strings, collections and geometry, then windows, dialogs, controls and DCs.
#pragma once

#include "afx.h"
#include "afxcoll.h"
#include "atltypes.h"

#include <map>

// ---- Run-time classes ---------------------------------------------------------------------------
struct CRuntimeClass {
    LPCSTR m_lpszClassName;
    CObject* (*m_pfnCreateObject)();
    CObject* CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }
};
#define RUNTIME_CLASS(cls) (&cls::class##cls)
#define DECLARE_DYNAMIC(cls)                                                                                           \
public:                                                                                                                \
    static CRuntimeClass class##cls;
#define IMPLEMENT_DYNAMIC(cls, base) CRuntimeClass cls::class##cls = {#cls, nullptr};
#define DECLARE_DYNCREATE(cls)                                                                                         \
public:                                                                                                                \
    static CRuntimeClass class##cls;                                                                                   \
    static CObject* CreateObject();
#define IMPLEMENT_DYNCREATE(cls, base)                                                                                 \
    CRuntimeClass cls::class##cls = {#cls, &cls::CreateObject};                                                        \
    CObject* cls::CreateObject()                                                                                       \
    {                                                                                                                  \
        return new cls;                                                                                                \
    }
// Handlers are virtual functions here; the map macros only keep class declarations familiar.
#define DECLARE_MESSAGE_MAP()
#define BEGIN_MESSAGE_MAP(cls, base)
#define END_MESSAGE_MAP()

class CWnd;
class CDC;
class CFont;
class CDataExchange;

// ---- GDI objects --------------------------------------------------------------------------------
class CGdiObject : public CObject {
public:
    HGDIOBJ m_hObject = nullptr;
    CGdiObject() = default;
    ~CGdiObject() override { DeleteObject(); }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    operator HGDIOBJ() const { return m_hObject; }
    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    BOOL Attach(HGDIOBJ object)
    {
        if (!object)
            return FALSE;
        m_hObject = object;
        return TRUE;
    }
    HGDIOBJ Detach()
    {
        HGDIOBJ object = m_hObject;
        m_hObject = nullptr;
        return object;
    }
    BOOL DeleteObject()
    {
        if (!m_hObject)
            return FALSE;
        return ::DeleteObject(Detach());
    }
    int GetObject(int size, LPVOID buffer) const { return ::GetObjectA(m_hObject, size, buffer); }
};

class CPen : public CGdiObject {
public:
    CPen() = default;
    CPen(int style, int width, COLORREF color) { CreatePen(style, width, color); }
    operator HPEN() const { return static_cast<HPEN>(m_hObject); }
    BOOL CreatePen(int style, int width, COLORREF color) { return Attach(::CreatePen(style, width, color)); }
    static CPen* FromHandle(HPEN pen);
};

class CBrush : public CGdiObject {
public:
    CBrush() = default;
    explicit CBrush(COLORREF color) { CreateSolidBrush(color); }
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
    BOOL CreateSolidBrush(COLORREF color) { return Attach(::CreateSolidBrush(color)); }
    BOOL CreateSysColorBrush(int index) { return Attach(::CreateSolidBrush(::GetSysColor(index))); }
    static CBrush* FromHandle(HBRUSH brush);
};

class CFont : public CGdiObject {
public:
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }
    BOOL CreateFontIndirect(const LOGFONTA* font) { return Attach(::CreateFontIndirectA(font)); }
    BOOL CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic, BYTE underline,
                    BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision, BYTE quality,
                    BYTE pitchAndFamily, LPCSTR face)
    {
        return Attach(::CreateFontA(height, width, escapement, orientation, weight, italic, underline, strikeOut,
                                    charSet, outPrecision, clipPrecision, quality, pitchAndFamily, face));
    }
    BOOL CreatePointFont(int pointSizeTenths, LPCSTR face, CDC* dc = nullptr);
    int GetLogFont(LOGFONTA* font) const { return ::GetObjectA(m_hObject, sizeof(LOGFONTA), font); }
    static CFont* FromHandle(HFONT font);
};

class CBitmap : public CGdiObject {
public:
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
    BOOL CreateBitmap(int width, int height, UINT planes, UINT bitCount, const void* bits)
    {
        return Attach(::CreateBitmap(width, height, planes, bitCount, bits));
    }
    BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
    int GetBitmap(BITMAP* bitmap) const { return ::GetObjectA(m_hObject, sizeof(BITMAP), bitmap); }
    static CBitmap* FromHandle(HBITMAP bitmap);
};

class CRgn : public CGdiObject {
public:
    operator HRGN() const { return static_cast<HRGN>(m_hObject); }
    BOOL CreateRectRgn(int l, int t, int r, int b) { return Attach(::CreateRectRgn(l, t, r, b)); }
    BOOL CreateRectRgnIndirect(LPCRECT rect) { return Attach(::CreateRectRgnIndirect(rect)); }
    int CombineRgn(CRgn* a, CRgn* b, int mode)
    {
        return ::CombineRgn(static_cast<HRGN>(m_hObject), a ? static_cast<HRGN>(a->m_hObject) : nullptr,
                            b ? static_cast<HRGN>(b->m_hObject) : nullptr, mode);
    }
    int GetRgnBox(LPRECT rect) const { return ::GetRgnBox(static_cast<HRGN>(m_hObject), rect); }
    BOOL PtInRegion(int x, int y) const { return ::PtInRegion(static_cast<HRGN>(m_hObject), x, y); }
    static CRgn* FromHandle(HRGN region);
};

class CPalette : public CGdiObject {
public:
    operator HPALETTE() const { return static_cast<HPALETTE>(m_hObject); }
    BOOL CreatePalette(const LOGPALETTE* palette) { return Attach(::CreatePalette(palette)); }
};

// ---- Device contexts ----------------------------------------------------------------------------
class CDC : public CObject {
public:
    HDC m_hDC = nullptr;
    HDC m_hAttribDC = nullptr;

    CDC() = default;
    ~CDC() override;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    operator HDC() const { return m_hDC; }
    HDC GetSafeHdc() const { return m_hDC; }
    static CDC* FromHandle(HDC dc);
    BOOL Attach(HDC dc)
    {
        if (!dc)
            return FALSE;
        m_hDC = m_hAttribDC = dc;
        return TRUE;
    }
    HDC Detach()
    {
        HDC dc = m_hDC;
        m_hDC = m_hAttribDC = nullptr;
        return dc;
    }
    BOOL CreateCompatibleDC(CDC* dc) { return Attach(::CreateCompatibleDC(dc ? dc->m_hDC : nullptr)); }
    BOOL DeleteDC()
    {
        if (!m_hDC)
            return FALSE;
        return ::DeleteDC(Detach());
    }
    BOOL IsPrinting() const { return FALSE; }
    int SaveDC() { return ::SaveDC(m_hDC); }
    BOOL RestoreDC(int saved) { return ::RestoreDC(m_hDC, saved); }
    int GetDeviceCaps(int index) const { return ::GetDeviceCaps(m_hDC, index); }

    CGdiObject* SelectStockObject(int index);
    CPen* SelectObject(CPen* pen);
    CBrush* SelectObject(CBrush* brush);
    CFont* SelectObject(CFont* font);
    CBitmap* SelectObject(CBitmap* bitmap);
    int SelectObject(CRgn* region) { return SelectClipRgn(region); }
    HGDIOBJ SelectObject(HGDIOBJ object) { return ::SelectObject(m_hDC, object); }
    CFont* GetCurrentFont() const;
    CBitmap* GetCurrentBitmap() const;

    COLORREF SetTextColor(COLORREF c) { return ::SetTextColor(m_hDC, c); }
    COLORREF GetTextColor() const { return ::GetTextColor(m_hDC); }
    COLORREF SetBkColor(COLORREF c) { return ::SetBkColor(m_hDC, c); }
    COLORREF GetBkColor() const { return ::GetBkColor(m_hDC); }
    int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
    int GetBkMode() const { return ::GetBkMode(m_hDC); }
    UINT SetTextAlign(UINT align) { return ::SetTextAlign(m_hDC, align); }
    int SetStretchBltMode(int mode) { return ::SetStretchBltMode(m_hDC, mode); }
    int SetROP2(int mode) { return ::SetROP2(m_hDC, mode); }
    int SetMapMode(int mode) { return ::SetMapMode(m_hDC, mode); }
    CPoint SetWindowOrg(int x, int y)
    {
        POINT old{};
        ::SetWindowOrgEx(m_hDC, x, y, &old);
        return old;
    }
    CPoint SetWindowOrg(POINT p) { return SetWindowOrg(p.x, p.y); }
    CPoint GetWindowOrg() const
    {
        POINT p{};
        ::GetWindowOrgEx(m_hDC, &p);
        return p;
    }
    CPoint SetViewportOrg(int x, int y)
    {
        POINT old{};
        ::SetViewportOrgEx(m_hDC, x, y, &old);
        return old;
    }
    CPoint OffsetViewportOrg(int x, int y)
    {
        POINT old{};
        ::OffsetViewportOrgEx(m_hDC, x, y, &old);
        return old;
    }
    void LPtoDP(LPPOINT pts, int n = 1) const { ::LPtoDP(m_hDC, pts, n); }
    void DPtoLP(LPPOINT pts, int n = 1) const { ::DPtoLP(m_hDC, pts, n); }

    int GetClipBox(LPRECT rect) const { return ::GetClipBox(m_hDC, rect); }
    int SelectClipRgn(CRgn* region)
    {
        return ::SelectClipRgn(m_hDC, region ? static_cast<HRGN>(region->m_hObject) : nullptr);
    }
    int IntersectClipRect(int l, int t, int r, int b) { return ::IntersectClipRect(m_hDC, l, t, r, b); }
    int IntersectClipRect(LPCRECT r) { return ::IntersectClipRect(m_hDC, r->left, r->top, r->right, r->bottom); }
    int ExcludeClipRect(int l, int t, int r, int b) { return ::ExcludeClipRect(m_hDC, l, t, r, b); }
    BOOL RectVisible(LPCRECT rect) const { return ::RectVisible(m_hDC, rect); }
    BOOL PtVisible(int x, int y) const { return ::PtVisible(m_hDC, x, y); }

    BOOL BitBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, DWORD rop)
    {
        return ::BitBlt(m_hDC, x, y, w, h, src ? src->m_hDC : nullptr, sx, sy, rop);
    }
    BOOL StretchBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, int sw, int sh, DWORD rop)
    {
        return ::StretchBlt(m_hDC, x, y, w, h, src ? src->m_hDC : nullptr, sx, sy, sw, sh, rop);
    }
    BOOL MaskBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, CBitmap& mask, int mx, int my, DWORD rop)
    {
        return ::MaskBlt(m_hDC, x, y, w, h, src ? src->m_hDC : nullptr, sx, sy, static_cast<HBITMAP>(mask.m_hObject),
                         mx, my, rop);
    }
    BOOL PatBlt(int x, int y, int w, int h, DWORD rop) { return ::PatBlt(m_hDC, x, y, w, h, rop); }
    COLORREF SetPixel(int x, int y, COLORREF c) { return ::SetPixel(m_hDC, x, y, c); }
    COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
    CPoint MoveTo(int x, int y)
    {
        POINT old{};
        ::MoveToEx(m_hDC, x, y, &old);
        return old;
    }
    CPoint MoveTo(POINT p) { return MoveTo(p.x, p.y); }
    BOOL LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
    BOOL LineTo(POINT p) { return LineTo(p.x, p.y); }
    BOOL Rectangle(int l, int t, int r, int b) { return ::Rectangle(m_hDC, l, t, r, b); }
    BOOL Rectangle(LPCRECT r) { return ::Rectangle(m_hDC, r->left, r->top, r->right, r->bottom); }
    void FillRect(LPCRECT rect, CBrush* brush)
    {
        ::FillRect(m_hDC, rect, brush ? static_cast<HBRUSH>(brush->m_hObject) : nullptr);
    }
    void FrameRect(LPCRECT rect, CBrush* brush)
    {
        ::FrameRect(m_hDC, rect, brush ? static_cast<HBRUSH>(brush->m_hObject) : nullptr);
    }
    void InvertRect(LPCRECT rect) { ::InvertRect(m_hDC, rect); }
    void DrawFocusRect(LPCRECT rect) { ::DrawFocusRect(m_hDC, rect); }
    void FillSolidRect(LPCRECT rect, COLORREF color);
    void FillSolidRect(int x, int y, int w, int h, COLORREF color)
    {
        RECT r{x, y, x + w, y + h};
        FillSolidRect(&r, color);
    }
    BOOL FillRgn(CRgn* region, CBrush* brush)
    {
        return ::FillRgn(m_hDC, static_cast<HRGN>(region->m_hObject), static_cast<HBRUSH>(brush->m_hObject));
    }

    BOOL TextOut(int x, int y, LPCSTR text, int count) { return ::TextOutA(m_hDC, x, y, text, count); }
    BOOL TextOut(int x, int y, const CString& text) { return TextOut(x, y, text, text.GetLength()); }
    BOOL ExtTextOut(int x, int y, UINT options, LPCRECT rect, LPCSTR text, UINT count, LPINT dx)
    {
        return ::ExtTextOutA(m_hDC, x, y, options, rect, text, count, dx);
    }
    int DrawText(LPCSTR text, int count, LPRECT rect, UINT format)
    {
        return ::DrawTextA(m_hDC, text, count, rect, format);
    }
    int DrawText(const CString& text, LPRECT rect, UINT format)
    {
        return DrawText(text, text.GetLength(), rect, format);
    }
    CSize TabbedTextOut(int x, int y, LPCSTR text, int count, int tabs, LPINT positions, int origin)
    {
        LONG r = ::TabbedTextOutA(m_hDC, x, y, text, count, tabs, positions, origin);
        return CSize(static_cast<DWORD>(r));
    }
    CSize TabbedTextOut(int x, int y, const CString& text, int tabs, LPINT positions, int origin)
    {
        return TabbedTextOut(x, y, text, text.GetLength(), tabs, positions, origin);
    }
    CSize GetTextExtent(LPCSTR text, int count) const
    {
        SIZE s{};
        ::GetTextExtentPoint32A(m_hDC, text, count, &s);
        return s;
    }
    CSize GetTextExtent(const CString& text) const { return GetTextExtent(text, text.GetLength()); }
    CSize GetTabbedTextExtent(LPCSTR text, int count, int tabs, LPINT positions) const
    {
        return CSize(::GetTabbedTextExtentA(m_hDC, text, count, tabs, positions));
    }
    CSize GetTabbedTextExtent(const CString& text, int tabs, LPINT positions) const
    {
        return GetTabbedTextExtent(text, text.GetLength(), tabs, positions);
    }
    BOOL GetTextMetrics(LPTEXTMETRICA tm) const { return ::GetTextMetricsA(m_hDC, tm); }
};

class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC() override;
    PAINTSTRUCT m_ps{};

protected:
    HWND m_hWnd = nullptr;
};

class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* wnd);
    ~CClientDC() override;

protected:
    HWND m_hWnd = nullptr;
};

class CWindowDC : public CClientDC {
public:
    explicit CWindowDC(CWnd* wnd) : CClientDC(wnd) {}
};

// ---- Windows ------------------------------------------------------------------------------------
class CCmdTarget : public CObject {};

class CWnd : public CCmdTarget {
public:
    HWND m_hWnd = nullptr;
    static const CWnd wndTop;
    static const CWnd wndBottom;
    static const CWnd wndTopMost;
    static const CWnd wndNoTopMost;

    CWnd() = default;
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    operator HWND() const { return m_hWnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }
    // The handle of a window object that may be null.
    static HWND HwndOf(const CWnd* wnd) { return wnd ? wnd->m_hWnd : nullptr; }
    // The object attached to a window; FromHandle makes a temporary one for a foreign window.
    static CWnd* FromHandle(HWND hwnd);
    static CWnd* FromHandlePermanent(HWND hwnd);
    BOOL Attach(HWND hwnd);
    HWND Detach();
    BOOL SubclassWindow(HWND hwnd);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow();

    virtual BOOL Create(LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id,
                        void* context = nullptr);
    virtual BOOL CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                          int height, HWND parent, HMENU idOrMenu, LPVOID param = nullptr);
    BOOL CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent,
                  UINT id, LPVOID param = nullptr);
    virtual BOOL DestroyWindow();
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    virtual void PostNcDestroy() {}
    virtual BOOL PreTranslateMessage(MSG* msg);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
    // A notification its parent got about this control, offered here first.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // Reflected WM_CTLCOLOR*: a brush handles it, null lets the parent answer.
    virtual HBRUSH CtlColor(CDC* dc, UINT ctlColor);
    // Reflected WM_COMMAND notification code (EN_UPDATE...): TRUE when handled here.
    virtual BOOL OnReflectedCommand(UINT code) { return FALSE; }
    virtual void DoDataExchange(CDataExchange* dx) {}
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    LRESULT Default();
    static BOOL WalkPreTranslateTree(HWND stop, MSG* msg);

    // Message handlers.
    virtual int OnCreate(LPCREATESTRUCT cs);
    virtual void OnDestroy();
    virtual void OnNcDestroy();
    virtual void OnPaint();
    virtual BOOL OnEraseBkgnd(CDC* dc);
    virtual void OnSize(UINT type, int cx, int cy);
    virtual void OnMove(int x, int y);
    virtual void OnShowWindow(BOOL show, UINT status);
    virtual void OnTimer(UINT_PTR id);
    virtual void OnClose();
    virtual void OnLButtonDown(UINT flags, CPoint point);
    virtual void OnLButtonUp(UINT flags, CPoint point);
    virtual void OnLButtonDblClk(UINT flags, CPoint point);
    virtual void OnRButtonDown(UINT flags, CPoint point);
    virtual void OnRButtonUp(UINT flags, CPoint point);
    virtual void OnRButtonDblClk(UINT flags, CPoint point);
    virtual void OnMButtonDown(UINT flags, CPoint point);
    virtual void OnMButtonUp(UINT flags, CPoint point);
    virtual void OnMouseMove(UINT flags, CPoint point);
    virtual BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
    virtual void OnNcLButtonDown(UINT hitTest, CPoint point);
    virtual void OnNcMouseMove(UINT hitTest, CPoint point);
    virtual void OnKeyDown(UINT ch, UINT repeat, UINT flags);
    virtual void OnKeyUp(UINT ch, UINT repeat, UINT flags);
    virtual void OnChar(UINT ch, UINT repeat, UINT flags);
    virtual void OnSysKeyDown(UINT ch, UINT repeat, UINT flags);
    virtual void OnSysKeyUp(UINT ch, UINT repeat, UINT flags);
    virtual void OnSysChar(UINT ch, UINT repeat, UINT flags);
    virtual void OnSetFocus(CWnd* oldWnd);
    virtual void OnKillFocus(CWnd* newWnd);
    virtual void OnActivate(UINT state, CWnd* other, BOOL minimized);
    virtual int OnMouseActivate(CWnd* topParent, UINT hitTest, UINT message);
    virtual BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    virtual HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor);
    virtual void OnDrawItem(int id, LPDRAWITEMSTRUCT dis);
    virtual void OnCaptureChanged(CWnd* wnd);
    virtual void OnEnable(BOOL enable);
    virtual void OnSysCommand(UINT id, LPARAM lParam);
    virtual void OnWindowPosChanged(WINDOWPOS* wp);
    virtual void OnWindowPosChanging(WINDOWPOS* wp);
    virtual void OnGetMinMaxInfo(MINMAXINFO* info);
    virtual void OnContextMenu(CWnd* wnd, CPoint point);
    virtual void OnHScroll(UINT code, UINT pos, CWnd* bar);
    virtual void OnVScroll(UINT code, UINT pos, CWnd* bar);
    virtual UINT OnGetDlgCode();

    // Window functions.
    BOOL ShowWindow(int cmd) { return ::ShowWindow(m_hWnd, cmd); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    BOOL SetWindowPos(const CWnd* after, int x, int y, int cx, int cy, UINT flags);
    void MoveWindow(int x, int y, int w, int h, BOOL repaint = TRUE) { ::MoveWindow(m_hWnd, x, y, w, h, repaint); }
    void MoveWindow(LPCRECT r, BOOL repaint = TRUE)
    {
        MoveWindow(r->left, r->top, r->right - r->left, r->bottom - r->top, repaint);
    }
    void BringWindowToTop() { ::BringWindowToTop(m_hWnd); }
    void GetWindowRect(LPRECT r) const { ::GetWindowRect(m_hWnd, r); }
    void GetClientRect(LPRECT r) const { ::GetClientRect(m_hWnd, r); }
    void ClientToScreen(LPPOINT p) const { ::ClientToScreen(m_hWnd, p); }
    void ClientToScreen(LPRECT r) const;
    void ScreenToClient(LPPOINT p) const { ::ScreenToClient(m_hWnd, p); }
    void ScreenToClient(LPRECT r) const;
    void MapWindowPoints(CWnd* to, LPPOINT pts, UINT n) const { ::MapWindowPoints(m_hWnd, HwndOf(to), pts, n); }
    void MapWindowPoints(CWnd* to, LPRECT r) const
    {
        ::MapWindowPoints(m_hWnd, HwndOf(to), reinterpret_cast<LPPOINT>(r), 2);
    }
    void CenterWindow(CWnd* alternateOwner = nullptr);
    CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
    CWnd* SetParent(CWnd* parent) { return FromHandle(::SetParent(m_hWnd, HwndOf(parent))); }
    CWnd* GetOwner() const { return FromHandle(::GetWindow(m_hWnd, GW_OWNER)); }
    CWnd* GetTopLevelParent() const { return FromHandle(::GetAncestor(m_hWnd, GA_ROOT)); }
    CWnd* GetWindow(UINT cmd) const { return FromHandle(::GetWindow(m_hWnd, cmd)); }
    CWnd* GetDlgItem(int id) const { return FromHandle(::GetDlgItem(m_hWnd, id)); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    int SetDlgCtrlID(int id) { return static_cast<int>(::SetWindowLongPtrA(m_hWnd, GWL_ID, id)); }
    BOOL IsChild(const CWnd* wnd) const { return ::IsChild(m_hWnd, HwndOf(wnd)); }
    CDC* GetDC();
    CDC* GetWindowDC() { return GetDC(); }
    int ReleaseDC(CDC* dc);
    void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void InvalidateRect(LPCRECT r, BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, r, erase); }
    void InvalidateRgn(CRgn* rgn, BOOL erase = TRUE)
    {
        ::InvalidateRgn(m_hWnd, rgn ? static_cast<HRGN>(rgn->m_hObject) : nullptr, erase);
    }
    void ValidateRect(LPCRECT r) { ::ValidateRect(m_hWnd, r); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    BOOL RedrawWindow(LPCRECT r = nullptr, CRgn* rgn = nullptr, UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE)
    {
        return ::RedrawWindow(m_hWnd, r, rgn ? static_cast<HRGN>(rgn->m_hObject) : nullptr, flags);
    }
    void SetRedraw(BOOL redraw = TRUE) { ::SendMessageA(m_hWnd, WM_SETREDRAW, redraw, 0); }
    CWnd* SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
    static CWnd* GetCapture() { return FromHandle(::GetCapture()); }
    CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
    static CWnd* GetFocus() { return FromHandle(::GetFocus()); }
    CWnd* SetActiveWindow() { return FromHandle(::SetActiveWindow(m_hWnd)); }
    static CWnd* GetActiveWindow() { return FromHandle(::GetActiveWindow()); }
    BOOL SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
    static CWnd* FindWindow(LPCSTR className, LPCSTR title) { return FromHandle(::FindWindowA(className, title)); }
    static CWnd* WindowFromPoint(POINT p) { return FromHandle(::WindowFromPoint(p)); }
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc = nullptr)
    {
        return ::SetTimer(m_hWnd, id, elapse, proc);
    }
    BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::PostMessageA(m_hWnd, message, wParam, lParam);
    }
    void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, BOOL deep = TRUE);
    void SetFont(CFont* font, BOOL redraw = TRUE)
    {
        ::SendMessageA(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(font ? font->m_hObject : nullptr), redraw);
    }
    CFont* GetFont() const;
    void SetWindowText(LPCSTR text) { ::SetWindowTextA(m_hWnd, text); }
    int GetWindowText(LPSTR buffer, int size) const { return ::GetWindowTextA(m_hWnd, buffer, size); }
    void GetWindowText(CString& text) const;
    int GetWindowTextLength() const { return ::GetWindowTextLengthA(m_hWnd); }
    void SetDlgItemText(int id, LPCSTR text) { ::SetDlgItemTextA(m_hWnd, id, text); }
    int GetDlgItemText(int id, CString& text) const;
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_EXSTYLE)); }
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);
    BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT flags = 0);
    HICON SetIcon(HICON icon, BOOL big)
    {
        return reinterpret_cast<HICON>(::SendMessageA(m_hWnd, WM_SETICON, big, reinterpret_cast<LPARAM>(icon)));
    }
    BOOL EnableToolTips(BOOL enable = TRUE) { return enable; }
    CWnd* GetNextDlgTabItem(CWnd* ctl, BOOL previous = FALSE) const
    {
        return FromHandle(::GetNextDlgTabItem(m_hWnd, HwndOf(ctl), previous));
    }

    WNDPROC m_pfnSuper = nullptr; // the window's procedure before this object took it over

protected:
    virtual WNDPROC* GetSuperWndProcAddr() { return &m_pfnSuper; }
};

LRESULT CALLBACK AfxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LPCSTR AfxRegisterWndClass(UINT classStyle, HCURSOR cursor = nullptr, HBRUSH background = nullptr,
                           HICON icon = nullptr);
BOOL AfxRegisterClass(WNDCLASSA* wc);
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
int AfxMessageBox(LPCSTR text, UINT type = MB_OK, UINT helpId = 0);
int AfxMessageBox(UINT id, UINT type = MB_OK, UINT helpId = (UINT)-1);
BOOL AfxInitRichEdit();
BOOL AfxInitRichEdit2();
void AfxEnableControlContainer();

class CFrameWnd : public CWnd {
public:
    BOOL Create(LPCSTR className, LPCSTR windowName, DWORD style = WS_OVERLAPPEDWINDOW, const RECT& rect = rectDefault,
                CWnd* parent = nullptr, LPCSTR menuName = nullptr, DWORD exStyle = 0, void* context = nullptr);
    void PostNcDestroy() override { delete this; }
    void OnClose() override;
    static const CRect rectDefault;
};

// A small frame: a popup of the program's own class without a menu.
class CMiniFrameWnd : public CFrameWnd {
public:
    BOOL Create(LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent = nullptr, UINT id = 0)
    {
        return CreateEx(0, className, windowName, style, rect, parent, id);
    }
};

// ---- Threads and the application ----------------------------------------------------------------
class CWinThread : public CCmdTarget {
public:
    CWinThread();
    ~CWinThread() override;
    CWnd* m_pMainWnd = nullptr;
    CWnd* m_pActiveWnd = nullptr;
    BOOL m_bAutoDelete = TRUE;
    HANDLE m_hThread = nullptr;
    DWORD m_nThreadID = 0;
    MSG m_msgCur{};

    virtual BOOL InitInstance() { return FALSE; }
    virtual int ExitInstance();
    virtual int Run();
    virtual BOOL PreTranslateMessage(MSG* msg);
    virtual BOOL PumpMessage();
    virtual BOOL OnIdle(LONG count) { return FALSE; }
    virtual CWnd* GetMainWnd() { return m_pMainWnd; }
    BOOL CreateThread(DWORD flags = 0, UINT stackSize = 0);
    DWORD ResumeThread();
    DWORD SuspendThread() { return 0; }
    BOOL SetThreadPriority(int) { return TRUE; }
    BOOL PostThreadMessage(UINT message, WPARAM wParam, LPARAM lParam)
    {
        return ::PostThreadMessageA(m_nThreadID, message, wParam, lParam);
    }
    operator HANDLE() const { return m_hThread; }

    // The thread's run state (internal).
    struct Start;
    Start* m_pStart = nullptr;
};

class CWinApp : public CWinThread {
public:
    explicit CWinApp(LPCSTR appName = nullptr);
    ~CWinApp() override;
    LPCSTR m_pszAppName = nullptr;
    LPCSTR m_pszExeName = nullptr;
    HINSTANCE m_hInstance = nullptr;
    LPSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    virtual BOOL InitApplication() { return TRUE; }
    HCURSOR LoadStandardCursor(LPCSTR name) const { return ::LoadCursorA(nullptr, name); }
    HCURSOR LoadCursor(LPCSTR name) const { return ::LoadCursorA(m_hInstance, name); }
    HCURSOR LoadCursor(UINT id) const { return ::LoadCursorA(m_hInstance, MAKEINTRESOURCE(id)); }
    HICON LoadIcon(UINT id) const { return ::LoadIconA(m_hInstance, MAKEINTRESOURCE(id)); }
    HICON LoadStandardIcon(LPCSTR name) const { return ::LoadIconA(nullptr, name); }
    void SetRegistryKey(LPCSTR) {}
};

CWinApp* AfxGetApp();
CWinThread* AfxGetThread();
CWinThread* AfxBeginThread(CRuntimeClass* threadClass, int priority = 0, UINT stackSize = 0, DWORD flags = 0,
                           LPSECURITY_ATTRIBUTES security = nullptr);
typedef UINT (*AFX_THREADPROC)(LPVOID);
CWinThread* AfxBeginThread(AFX_THREADPROC proc, LPVOID param, int priority = 0, UINT stackSize = 0, DWORD flags = 0,
                           LPSECURITY_ATTRIBUTES security = nullptr);
// Runs the program's one CWinApp: InitInstance, then Run, then the exit code.
int AfxWinMain(int argc, char** argv);

// ---- Dialogs ------------------------------------------------------------------------------------
class CDataExchange {
public:
    CDataExchange(CWnd* dlg, BOOL save) : m_bSaveAndValidate(save), m_pDlgWnd(dlg) {}
    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
    HWND PrepareCtrl(int id) { return ::GetDlgItem(m_pDlgWnd->GetSafeHwnd(), id); }
    HWND PrepareEditCtrl(int id) { return PrepareCtrl(id); }
    void Fail() {}
};
void DDX_Text(CDataExchange* dx, int id, CString& value);
void DDX_Text(CDataExchange* dx, int id, int& value);
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
void DDV_MaxChars(CDataExchange* dx, const CString& value, int count);

class CDialog : public CWnd {
public:
    CDialog() = default;
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    explicit CDialog(LPCSTR templateName, CWnd* parent = nullptr);
    virtual INT_PTR DoModal();
    virtual BOOL Create(UINT templateId, CWnd* parent = nullptr);
    virtual BOOL Create(LPCSTR templateName, CWnd* parent = nullptr);
    void EndDialog(int result);
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    void NextDlgCtrl() const;
    void PrevDlgCtrl() const;
    void GotoDlgCtrl(CWnd* ctl);
    void SetDefID(UINT id) { ::SendMessageA(m_hWnd, DM_SETDEFID, id, 0); }
    BOOL IsModal() const { return m_bModal; }

    LPCSTR m_lpszTemplateName = nullptr;
    UINT m_nIDHelp = 0;
    CWnd* m_pParentWnd = nullptr;

protected:
    BOOL CreateFromTemplate(CWnd* owner, BOOL modal);
    // Runs the modal loop until EndDialog; keeps dispatching posted messages and timers.
    int RunModalLoop();
    BOOL m_bModal = FALSE;
    BOOL m_bContinueModal = FALSE;
    int m_nModalResult = -1;
};

// ---- Controls -----------------------------------------------------------------------------------
class CButton : public CWnd {
public:
    BOOL Create(LPCSTR caption, DWORD style, const RECT& rect, CWnd* parent, UINT id);
    virtual void DrawItem(LPDRAWITEMSTRUCT dis) {}
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    UINT GetState() const { return static_cast<UINT>(::SendMessageA(m_hWnd, BM_GETSTATE, 0, 0)); }
    void SetState(BOOL highlight) { ::SendMessageA(m_hWnd, BM_SETSTATE, highlight, 0); }
    int GetCheck() const { return static_cast<int>(::SendMessageA(m_hWnd, BM_GETCHECK, 0, 0)); }
    void SetCheck(int check) { ::SendMessageA(m_hWnd, BM_SETCHECK, check, 0); }
    UINT GetButtonStyle() const { return GetStyle() & 0xFF; }
    void SetButtonStyle(UINT style, BOOL redraw = TRUE) { ::SendMessageA(m_hWnd, BM_SETSTYLE, style, redraw); }
};

class CStatic : public CWnd {
public:
    BOOL Create(LPCSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id = 0xffff);
};

class CEdit : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    void SetMargins(UINT left, UINT right)
    {
        ::SendMessageA(m_hWnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(left, right));
    }
    void LimitText(int bytes = 0) { ::SendMessageA(m_hWnd, EM_LIMITTEXT, bytes, 0); }
    void SetLimitText(UINT bytes) { LimitText(static_cast<int>(bytes)); }
    UINT GetLimitText() const { return static_cast<UINT>(::SendMessageA(m_hWnd, EM_GETLIMITTEXT, 0, 0)); }
    void SetSel(int start, int end, BOOL noScroll = FALSE)
    {
        ::SendMessageA(m_hWnd, EM_SETSEL, start, end);
        if (!noScroll)
            ::SendMessageA(m_hWnd, EM_SCROLLCARET, 0, 0);
    }
    void GetSel(int& start, int& end) const;
    DWORD GetSel() const { return static_cast<DWORD>(::SendMessageA(m_hWnd, EM_GETSEL, 0, 0)); }
    void ReplaceSel(LPCSTR text, BOOL canUndo = FALSE)
    {
        ::SendMessageA(m_hWnd, EM_REPLACESEL, canUndo, reinterpret_cast<LPARAM>(text));
    }
    void Clear() { ::SendMessageA(m_hWnd, WM_CLEAR, 0, 0); }
    void Copy() { ::SendMessageA(m_hWnd, WM_COPY, 0, 0); }
    void Cut() { ::SendMessageA(m_hWnd, WM_CUT, 0, 0); }
    void Paste() { ::SendMessageA(m_hWnd, WM_PASTE, 0, 0); }
    BOOL SetReadOnly(BOOL readOnly = TRUE)
    {
        return static_cast<BOOL>(::SendMessageA(m_hWnd, EM_SETREADONLY, readOnly, 0));
    }
    int GetLineCount() const { return static_cast<int>(::SendMessageA(m_hWnd, EM_GETLINECOUNT, 0, 0)); }
    int LineIndex(int line = -1) const { return static_cast<int>(::SendMessageA(m_hWnd, EM_LINEINDEX, line, 0)); }
    int LineLength(int index = -1) const { return static_cast<int>(::SendMessageA(m_hWnd, EM_LINELENGTH, index, 0)); }
    int LineFromChar(int index = -1) const
    {
        return static_cast<int>(::SendMessageA(m_hWnd, EM_LINEFROMCHAR, index, 0));
    }
    int GetFirstVisibleLine() const { return static_cast<int>(::SendMessageA(m_hWnd, EM_GETFIRSTVISIBLELINE, 0, 0)); }
    void LineScroll(int lines, int chars = 0) { ::SendMessageA(m_hWnd, EM_LINESCROLL, chars, lines); }
    void SetPasswordChar(char ch) { ::SendMessageA(m_hWnd, EM_SETPASSWORDCHAR, static_cast<BYTE>(ch), 0); }
    BOOL GetModify() const { return static_cast<BOOL>(::SendMessageA(m_hWnd, EM_GETMODIFY, 0, 0)); }
    void SetModify(BOOL modified = TRUE) { ::SendMessageA(m_hWnd, EM_SETMODIFY, modified, 0); }
};
