#include "ListPanel.h"

#include "CommunityShared.h"

#include <MainFrame.h>

#include <ClientGlobals.h>
#include <ClientSession.h>
#include <ImageFile.h>
#include <NotifyDlg.h>
#include <SkinDraw.h>
#include <ToolkitShared.h>

#include <algorithm>
#include <cstring>

CListPanel::~CListPanel()
{
    if (m_hWnd) {
        DestroyWindow();
    }
    ClearItems();
}

BOOL CListPanel::Create(LPCSTR caption, const RECT& rect, CSkinWnd* owner, UINT id)
{
    m_pOwner = owner;
    m_strCaption = caption;
    return CreateEx(0, AfxRegisterWndClass(0, ToolkitNormalCursor()), caption, WS_CHILD | WS_VISIBLE, rect, owner, id);
}

void CListPanel::ReadRowLayout(const CSkinBase& skin, const char* section)
{
    skin.GetRect(section, "FirstItemRect", &m_rcFirstRow);
    skin.GetInt(section, "ItemHeight", &m_nRowHeight);
}

// ---- Rows ---------------------------------------------------------------------------------

int CListPanel::AddItem(void* row)
{
    if (!row) {
        return GetCount();
    }
    m_listRows.AddTail(row);
    const int count = GetCount();
    if (count > m_nVisibleCount && m_scrollBar.GetSafeHwnd()) {
        m_scrollBar.ShowWindow(SW_SHOW);
        m_scrollBar.SetScrollRange(0, count, m_nVisibleCount);
    }
    if (m_hWnd) {
        Invalidate(FALSE);
    }
    return count;
}

void CListPanel::ClearItems(CPtrList* list)
{
    CPtrList& rows = list ? *list : m_listRows;
    while (!rows.IsEmpty()) {
        m_pfDeleteRow(rows.RemoveHead());
    }
    m_nTop = 0;
    if (m_hWnd) {
        Invalidate(FALSE);
    }
}

void* CListPanel::GetRow(int index) const
{
    if (index < 0 || index >= GetCount()) {
        return nullptr;
    }
    POSITION at = m_listRows.FindIndex(index);
    return at ? m_listRows.GetAt(at) : nullptr;
}

long CListPanel::GetItemId(int index) const
{
    const void* row = GetRow(index);
    LONG id = -1;
    if (row) {
        std::memcpy(&id, row, sizeof id);
    }
    return id;
}

void CListPanel::RowOf(long user, POSITION* at, void** row) const
{
    *at = nullptr;
    *row = nullptr;
    for (POSITION p = m_listRows.GetHeadPosition(); p;) {
        POSITION here = p;
        void* candidate = m_listRows.GetNext(p);
        LONG id = 0;
        std::memcpy(&id, candidate, sizeof id);
        if (id == user) {
            *at = here;
            *row = candidate;
            return;
        }
    }
}

void CListPanel::DeleteItem(long user)
{
    POSITION at;
    void* row;
    RowOf(user, &at, &row);
    if (!at) {
        return;
    }
    m_listRows.RemoveAt(at);
    m_pfDeleteRow(row);
    PullTopBack();
    HideGoButtons();
    if (m_hWnd) {
        Invalidate(TRUE);
    }
}

void CListPanel::PullTopBack()
{
    const int count = GetCount();
    if (m_nVisibleCount >= count - m_nTop) {
        m_nTop = count - m_nVisibleCount;
        if (m_nTop < 0) {
            m_nTop = 0;
            if (m_scrollBar.GetSafeHwnd()) {
                m_scrollBar.ShowWindow(SW_HIDE);
            }
        }
    }
}

BOOL CListPanel::HasItem(long user) const
{
    return FindItem(user) != nullptr;
}

void* CListPanel::FindItem(long user) const
{
    void* found = nullptr;
    for (POSITION p = m_listRows.GetHeadPosition(); p;) {
        void* row = m_listRows.GetNext(p);
        LONG id = 0;
        std::memcpy(&id, row, sizeof id);
        if (id == user) {
            found = row; // the last one with that number
        }
    }
    return found;
}

void CListPanel::SetOnline(long user, char flag)
{
    if (auto* row = static_cast<BYTE*>(FindItem(user))) {
        row[57] = static_cast<BYTE>(flag);
        if (m_hWnd) {
            Invalidate(TRUE);
        }
    }
}

char* CListPanel::NicknameField(void* row, size_t* size) const
{
    auto* friendRow = static_cast<FRIEND_ROW*>(row);
    *size = sizeof(friendRow->szNickname);
    return friendRow->szNickname;
}

char* CListPanel::IdField(void* row, size_t* size) const
{
    auto* friendRow = static_cast<FRIEND_ROW*>(row);
    *size = sizeof(friendRow->szID);
    return friendRow->szID;
}

BOOL CListPanel::SetNickname(long user, LPCSTR text)
{
    void* row = FindItem(user);
    if (!row || !text) {
        return FALSE;
    }
    size_t size = 0;
    char* field = NicknameField(row, &size);
    CopyField(field, size, text, std::strlen(text));
    if (m_hWnd) {
        Invalidate(FALSE);
    }
    return TRUE;
}

LPCSTR CListPanel::GetIdText(long user) const
{
    void* row = FindItem(user);
    size_t size = 0;
    return row ? IdField(row, &size) : nullptr;
}

LPCSTR CListPanel::GetNicknameText(long user) const
{
    void* row = FindItem(user);
    size_t size = 0;
    return row ? NicknameField(row, &size) : nullptr;
}

// ---- Skin and children --------------------------------------------------------------------

int CListPanel::OnCreate(LPCREATESTRUCT cs)
{
    if (CWnd::OnCreate(cs) == -1) {
        return -1;
    }
    if (m_scrollBar.Create(CRect(0, 0, kScrollBarWidth, 10), this, TRUE, this, ToolkitSkinFolder() + "\\scrollbar")) {
        m_scrollBar.ShowWindow(SW_HIDE);
    }
    if (LoadPanelSkin() && HasGoButtons()) {
        BuildGoButtons();
    }
    return 0;
}

BOOL CListPanel::LoadPanelSkin()
{
    const CSkinBase* skin = m_pOwner ? m_pOwner->m_pSkin : nullptr;
    if (!skin) {
        return FALSE;
    }
    const char* section = m_strCaption;
    const CString picture = skin->GetFilePath(section, ColumnPictureKey());
    m_strGoImage = skin->GetFilePath(section, "GoBtnImage");
    BITMAP info{};
    if (picture.IsEmpty() || !LoadBitmapFile(picture, &m_bmpColumn, nullptr) || !m_bmpColumn.GetBitmap(&info)) {
        m_bmpColumn.DeleteObject();
        ShowFileReadError(picture);
        return FALSE;
    }
    m_nColumnWidth = info.bmWidth / ColumnPictureColumns();
    m_nColumnHeight = info.bmHeight;
    skin->GetInt(section, "VisibleCount", &m_nVisibleCount);
    int columns = 0;
    skin->GetInt(section, "ColumnCount", &columns);
    m_columns.clear();
    for (int i = 0; i < columns && i < 32; ++i) {
        CString key;
        key.Format("ColRect%d", i);
        RECT rect{0, 0, 0, 0};
        skin->GetRect(section, key, &rect);
        m_columns.push_back(rect);
    }
    skin->GetRect(section, "BtnGoRect", &m_rcGoButton);
    int red = 0, green = 0, blue = 0;
    skin->GetInt(section, "TextColorR", &red);
    skin->GetInt(section, "TextColorG", &green);
    skin->GetInt(section, "TextColorB", &blue);
    m_crText = RGB(red, green, blue);
    return TRUE;
}

void CListPanel::BuildGoButtons()
{
    DestroyGoButtons();
    // The Go ids are 1 to 16: a skin asking for more slots gets buttons for the first 16.
    const int count = std::min(m_nVisibleCount, kMaxGoButtons);
    for (int i = 0; i < count; ++i) {
        auto button = std::make_unique<CSoundButton>();
        if (!button->LoadBitmap(m_strGoImage)) {
            return;
        }
        RECT rect = m_rcGoButton;
        ::OffsetRect(&rect, 0, i * GoButtonStep());
        if (!button->Create("Go", WS_CHILD | BS_OWNERDRAW, rect, this, static_cast<UINT>(i + 1))) {
            return;
        }
        button->SizeToBitmap();
        m_goButtons.push_back(std::move(button));
    }
}

void CListPanel::DestroyGoButtons()
{
    for (auto& button : m_goButtons) {
        if (button->GetSafeHwnd()) {
            button->DestroyWindow();
        }
    }
    m_goButtons.clear();
}

CSoundButton* CListPanel::GoButton(int slot) const
{
    return slot >= 0 && slot < GetGoButtonCount() ? m_goButtons[static_cast<size_t>(slot)].get() : nullptr;
}

void CListPanel::HideGoButtons()
{
    for (auto& button : m_goButtons) {
        if (button->GetSafeHwnd()) {
            button->ShowWindow(SW_HIDE);
        }
    }
}

// ---- Drawing ------------------------------------------------------------------------------

RECT CListPanel::SlotRect(int slot) const
{
    RECT rect = m_rcFirstRow;
    ::OffsetRect(&rect, 0, slot * m_nRowHeight);
    return rect;
}

RECT CListPanel::ColumnRect(int column, int slot) const
{
    RECT rect{0, 0, 0, 0};
    if (column >= 0 && column < GetColumnCount()) {
        rect = m_columns[static_cast<size_t>(column)];
        ::OffsetRect(&rect, 0, slot * m_nRowHeight);
    }
    return rect;
}

BOOL CListPanel::OnEraseBkgnd(CDC* dc)
{
    CBrush white(RGB(255, 255, 255));
    for (int slot = 0; slot < m_nVisibleCount; ++slot) {
        RECT rect = SlotRect(slot);
        ::InflateRect(&rect, -1, -1);
        dc->FillRect(&rect, &white);
    }
    return TRUE;
}

void CListPanel::DrawColumnText(CDC* dc, int column, int slot, LPCSTR text, COLORREF colour, BOOL centred)
{
    // A skin with fewer columns than the kind draws leaves the missing ones out.
    if (column >= GetColumnCount() || !text) {
        return;
    }
    RECT rect = ColumnRect(column, slot);
    dc->SetTextColor(colour);
    dc->DrawText(text, &rect, centred ? DT_CENTER : 0);
}

void CListPanel::DrawColumnPicture(CDC* dc, int column, int slot, int pictureColumn)
{
    if (column >= GetColumnCount() || !m_bmpColumn.GetSafeHandle()) {
        return;
    }
    const RECT rect = ColumnRect(column, slot);
    CDC memory;
    if (!memory.CreateCompatibleDC(dc)) {
        return;
    }
    CBitmap* old = memory.SelectObject(&m_bmpColumn);
    const int width = std::min<int>(m_nColumnWidth, rect.right - rect.left);
    const int height = std::min<int>(m_nColumnHeight, rect.bottom - rect.top);
    SkinDrawTransparent(dc, rect.left, rect.top, width, height, &memory, pictureColumn * m_nColumnWidth, 0,
                        kSkinKeyColour);
    memory.SelectObject(old);
}

void CListPanel::OnPaint()
{
    CPaintDC dc(this);
    const int count = GetCount();
    if (m_nVisibleCount >= count && m_scrollBar.GetSafeHwnd()) {
        m_scrollBar.ShowWindow(SW_HIDE);
    }
    if (GetColumnCount() == 0) {
        return; // without its skin the panel has nothing to draw
    }
    HGDIOBJ oldFont = dc.SelectObject(ToolkitGuiFont());
    const int oldMode = dc.SetBkMode(TRANSPARENT);
    for (int slot = 0; slot < m_nVisibleCount; ++slot) {
        const void* row = GetRow(m_nTop + slot);
        CSoundButton* go = GoButton(slot);
        if (!row) {
            if (go && go->IsWindowVisible()) {
                go->ShowWindow(SW_HIDE);
            }
            continue;
        }
        DrawRow(&dc, slot, row);
        if (go) {
            go->EnableWindow(IsGoEnabled(row));
            if (!go->IsWindowVisible()) {
                go->ShowWindow(SW_SHOW);
            }
        }
    }
    dc.SetBkMode(oldMode);
    dc.SelectObject(oldFont);
}

CString CListPanel::NumberText(char number)
{
    if (number == 0 || number == '0') {
        return "*";
    }
    CString text;
    text.Format("%d", static_cast<int>(static_cast<signed char>(number)));
    return text;
}

// ---- Input --------------------------------------------------------------------------------

void CListPanel::OnSize(UINT type, int cx, int cy)
{
    CWnd::OnSize(type, cx, cy);
    m_rcScrollBar = {cx - kScrollBarWidth, 0, cx, cy};
    if (m_scrollBar.GetSafeHwnd()) {
        m_scrollBar.MoveWindow(&m_rcScrollBar);
    }
}

void CListPanel::OnScrollTo(int position)
{
    const int last = std::max(0, GetCount() - m_nVisibleCount);
    m_nTop = position > 0 ? std::min(position, last) : 0;
    Invalidate(TRUE);
}

void CListPanel::OnRButtonDown(UINT flags, CPoint point)
{
    m_bRightButtonDown = TRUE;
    CWnd::OnRButtonDown(flags, point);
}

void CListPanel::OnRButtonUp(UINT flags, CPoint point)
{
    if (m_bRightButtonDown && m_pOwner) {
        const int rows = std::min(m_nVisibleCount, GetCount() - m_nTop);
        for (int slot = 0; slot < m_nVisibleCount; ++slot) {
            const RECT rect = SlotRect(slot);
            if (!::PtInRect(&rect, point)) {
                continue;
            }
            if (slot < rows) {
                CPoint screen = point;
                ClientToScreen(&screen);
                m_pOwner->SendMessage(UM_LIST_POPUP,
                                      (static_cast<WPARAM>(screen.y & 0xFFFF) << 16) | (screen.x & 0xFFFF),
                                      (slot + m_nTop) & 0xFFFF);
            }
            break;
        }
    }
    CWnd::OnRButtonUp(flags, point);
}

BOOL CListPanel::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const int id = LOWORD(wParam);
    if (HIWORD(wParam) == BN_CLICKED && id >= 1 && id <= GetGoButtonCount()) {
        if (const void* row = GetRow(m_nTop + id - 1)) {
            OnGo(row);
        }
        return TRUE;
    }
    return CWnd::OnCommand(wParam, lParam);
}

LRESULT CListPanel::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == UM_SCROLL_POS) {
        OnScrollTo(static_cast<int>(wParam));
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

void CListPanel::OnDestroy()
{
    DestroyGoButtons();
    ClearItems();
    m_columns.clear();
    m_bmpColumn.DeleteObject();
    CWnd::OnDestroy();
}

// ---- Going where a row's member or room is --------------------------------------------------

BOOL CListPanel::IsConnected()
{
    return g_pSession && g_pSession->GetComm() && g_pSession->GetComm()->IsConnected();
}

CString CListPanel::PlaceRefusal(BOOL found, int lobby, int room)
{
    if (!found) {
        return "HeisNotJoined";
    }
    if (lobby == -1) {
        return "HeisJoinedMinimap";
    }
    if (g_pSession && lobby == g_pSession->m_nCurrentLobby && room == g_pSession->m_nCurrentRoom) {
        return "AlreadyJoinedRoom";
    }
    return CString();
}

void CListPanel::ShowTableMessage(LPCSTR key)
{
    if (g_pSession) {
        ShowNotifyBox(g_pSession->GetTableString(key), 0, 13);
    }
}

void CListPanel::PostJoin(int lobby, int room)
{
    CWnd* parent = GetParent();
    const WPARAM place =
        (static_cast<WPARAM>(static_cast<unsigned short>(room)) << 16) | static_cast<unsigned short>(lobby);
    CommunityPostToFrame(UM_ROOM_JOIN_RESULT, place,
                         reinterpret_cast<LPARAM>(parent ? parent->GetSafeHwnd() : nullptr));
}

void CListPanel::GoToMember(long user, BOOL joinDirectly)
{
    if (!g_pSession) {
        return;
    }
    short lobby = -1, room = -1;
    const BOOL found = g_pSession->QueryUserLocation(user, &lobby, &room) == kRequestAccepted;
    const CString refusal = PlaceRefusal(found, lobby, room);
    if (!refusal.IsEmpty()) {
        ShowTableMessage(refusal);
        return;
    }
    CMainFrame* frame = CommunityMainFrame();
    if (joinDirectly && frame) {
        frame->JoinRoom(lobby, room);
    } else {
        PostJoin(lobby, room);
    }
}
