#include "SkinWnd.h"

#include "ImageFile.h"
#include "SkinDraw.h"
#include "ToolkitShared.h"
#include "WndSkin.h"

CSkinWnd::CSkinWnd(CSkinBase* skin) : m_pSkin(skin ? skin : new CWndSkin) {}

CSkinWnd::~CSkinWnd()
{
    if (m_hWnd) {
        DestroyWindow();
    }
    DestroyOffscreen();
    delete m_pSkin;
}

int CSkinWnd::LoadSkin(CSkinBase* skin, const char* iniPath)
{
    if (!skin) {
        return 0;
    }
    skin->SetSkinPath(ToolkitSkinFolder());
    return skin->LoadIni(iniPath);
}

BOOL CSkinWnd::LoadBack(CSkinElement* element)
{
    m_bmpBack.DeleteObject();
    if (!element || !LoadBitmapFile(element->strImage, &m_bmpBack, nullptr)) {
        return FALSE;
    }
    BITMAP info{};
    m_bmpBack.GetBitmap(&info);
    m_rcDrag = RECT{0, 0, info.bmWidth, info.bmHeight / 2};
    return TRUE;
}

BOOL CSkinWnd::CreatePopup(CWnd* parent, CSkinElement* element, int draggable)
{
    m_pElement = element;
    m_bDraggable = draggable;
    m_bPopup = 1;
    if (!LoadBack(element)) {
        return FALSE;
    }
    m_rcWindow = element->rcRect;
    if (parent && parent->m_hWnd) {
        RECT owner;
        parent->GetWindowRect(&owner);
        ::OffsetRect(&m_rcWindow, owner.left, owner.top);
    }
    // The element's title names the window (its picture shows its own text).
    return CreateEx(0, AfxRegisterWndClass(0), element->strTitle, WS_POPUP, m_rcWindow, parent, 0);
}

BOOL CSkinWnd::CreateChild(CWnd* parent, CSkinElement* element, int draggable)
{
    m_pElement = element;
    m_bDraggable = draggable;
    m_bPopup = 0;
    if (!LoadBack(element)) {
        return FALSE;
    }
    m_rcWindow = element->rcRect;
    return CreateEx(0, nullptr, element->strTitle, WS_CHILD | WS_CLIPSIBLINGS, m_rcWindow, parent,
                    static_cast<UINT>(element->nID));
}

BOOL CSkinWnd::CreateSkinButton(CSkinButton* button, const char* section)
{
    if (!button || !m_pSkin) {
        return FALSE;
    }
    RECT rect{0, 0, 0, 0};
    int id = 0;
    CString title;
    m_pSkin->GetRect(section, "Rect", &rect);
    m_pSkin->GetInt(section, "ID", &id);
    m_pSkin->GetString(section, "Title", &title);
    if (!button->LoadBitmap(m_pSkin->GetFilePath(section, "Image"))) {
        return FALSE;
    }
    if (!button->Create(title, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, rect, this, static_cast<UINT>(id))) {
        return FALSE;
    }
    button->SizeToBitmap();
    return TRUE;
}

BOOL CSkinWnd::CreateSkinChild(CSkinStatic* child, const char* section)
{
    return m_pSkin && CreateSkinSelector(*m_pSkin, child, this, section);
}

BOOL CSkinWnd::CreateElementButton(CSkinButton* button, CSkinElement* element, CWnd* parent)
{
    if (!button || !element || !button->SetBitmap(static_cast<HBITMAP>(element->bmpImage.GetSafeHandle()))) {
        return FALSE;
    }
    if (!button->Create(element->strTitle, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, element->rcRect, parent,
                        static_cast<UINT>(element->nID))) {
        return FALSE;
    }
    button->SizeToBitmap();
    return TRUE;
}

void CSkinWnd::CenterInParent()
{
    CWnd* parent = GetParent();
    if (!parent) {
        return;
    }
    RECT mine;
    RECT around;
    GetWindowRect(&mine);
    parent->GetWindowRect(&around);
    POINT at{around.left + ((around.right - around.left) - (mine.right - mine.left)) / 2,
             around.top + ((around.bottom - around.top) - (mine.bottom - mine.top)) / 2};
    // A child is placed in its parent's client coordinates, a popup on the screen.
    if (GetStyle() & WS_CHILD) {
        parent->ScreenToClient(&at);
    }
    MoveWindow(at.x, at.y, mine.right - mine.left, mine.bottom - mine.top, TRUE);
}

void CSkinWnd::DrawBackground(CDC* dc, CBitmap* bitmap, unsigned bands)
{
    RECT client;
    GetClientRect(&client);
    SkinDrawBackground(dc, client, bitmap, bands);
}

void CSkinWnd::DrawTransparent(CDC* dest, int x, int y, int width, int height, CDC* src, int srcX, int srcY,
                               COLORREF key)
{
    SkinDrawTransparent(dest, x, y, width, height, src, srcX, srcY, key);
}

BOOL CSkinWnd::CreateOffscreen()
{
    DestroyOffscreen();
    HDC window = ::GetDC(m_hWnd);
    m_hMemDC = ::CreateCompatibleDC(window);
    if (!m_hMemDC) {
        ::ReleaseDC(m_hWnd, window);
        return FALSE;
    }
    RECT client;
    GetClientRect(&client);
    m_nMemWidth = client.right - client.left;
    m_nMemHeight = client.bottom - client.top;
    m_hMemBitmap = ::CreateCompatibleBitmap(window, m_nMemWidth, m_nMemHeight);
    ::ReleaseDC(m_hWnd, window);
    if (!m_hMemBitmap) {
        ::DeleteDC(m_hMemDC);
        m_hMemDC = nullptr;
        return FALSE;
    }
    m_hOldBitmap = ::SelectObject(m_hMemDC, m_hMemBitmap);
    m_dcMem.Attach(m_hMemDC);
    return TRUE;
}

BOOL CSkinWnd::DestroyOffscreen()
{
    if (!m_hMemDC) {
        return FALSE;
    }
    ::SelectObject(m_hMemDC, m_hOldBitmap);
    ::DeleteObject(m_hMemBitmap);
    m_dcMem.Detach();
    ::DeleteDC(m_hMemDC);
    m_hMemDC = nullptr;
    m_hMemBitmap = nullptr;
    m_hOldBitmap = nullptr;
    return TRUE;
}

int CSkinWnd::OnCreate(LPCREATESTRUCT cs)
{
    if (CWnd::OnCreate(cs) == -1) {
        return -1;
    }
    m_bCreated = 1;
    return LoadSkin(m_pSkin, m_pElement ? m_pElement->strIniFile : CString()) ? 0 : -1;
}

void CSkinWnd::OnPaint()
{
    CPaintDC dc(this);
    DrawBackground(&dc, &m_bmpBack, 3);
}

void CSkinWnd::OnLButtonDown(UINT flags, CPoint point)
{
    if (m_bDraggable && ::PtInRect(&m_rcDrag, point)) {
        SendMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
    }
    CWnd::OnLButtonDown(flags, point);
}

BOOL CSkinWnd::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CSkinWnd::OnMove(int x, int y)
{
    CWnd::OnMove(x, y);
    // The rectangle follows the window (offsetting it by each absolute position would drift).
    GetWindowRect(&m_rcWindow);
}

void CSkinWnd::OnDestroy()
{
    CWnd::OnDestroy();
    DestroyOffscreen();
    if (m_hExtraObject) {
        ::DeleteObject(m_hExtraObject);
        m_hExtraObject = nullptr;
    }
    m_bmpBack.DeleteObject();
    m_bCreated = 0;
}
