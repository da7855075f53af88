#include "UserInfoWnd.h"

#include <ClientApp.h>
#include <ClientGlobals.h>
#include <ClientSession.h>
#include <ImageFile.h>
#include <ItemCatalog.h>
#include <MainFrame.h>
#include <MainSkin.h>
#include <NameChecks.h>
#include <NoticeDlg.h>
#include <NotifyDlg.h>
#include <Screenshot.h>
#include <SceneSink.h>
#include <SkinDraw.h>
#include <ToolkitShared.h>

#include <algorithm>
#include <cstdio>

namespace {

// The hidden word and the own member's first city, in code page 949: "비공개", "부랑자".
const char kKoreanHidden[] = "\xBA\xF1\xB0\xF8\xB0\xB3";
const char kKoreanNowhere[] = "\xBA\xCE\xB6\xFB\xC0\xDA";
const char kGermanHidden[] = "verborgen";
const char kGermanNowhere[] = "Sonstige";
// Where another member's uploaded picture is kept while it is shown.
const char kPictureFolder[] = "Profile";
constexpr int kSecondTextOffset = 200;

// A text field of a record: it ends within its width, whatever the record holds.
CString Field(const char* text, size_t size)
{
    char copy[512] = {};
    CopyField(copy, std::min(sizeof copy, size), text, size);
    return CString(copy);
}

// The part tab that shows a category, and the category a part tab shows (the face has no tab,
// the hair items share the hand items' tab).
int TabOfCategory(int category)
{
    return category <= ITEM_HAIR ? 0 : category >= ITEM_HAIR_ITEM ? ITEM_HAND - 1 : category - 1;
}

int CategoryOfTab(int tab)
{
    return tab <= 0 ? ITEM_HAIR : tab + 1;
}

// A list cell's picture: the item's 42 x 42 square of its category's picture.
SKINLIST_PICTURE ItemSquare(HBITMAP picture, int x, int y)
{
    SKINLIST_PICTURE square;
    square.hBitmap = picture;
    square.nSourceX = x;
    square.nSourceY = y;
    square.nSourceWidth = square.nWidth = kItemCellSize;
    square.nSourceHeight = square.nHeight = kItemCellSize;
    return square;
}

// The same for a catalogue record, found by walking its category (the catalogue keeps no index).
SKINLIST_PICTURE ItemSquare(const ITEM_RECORD& item)
{
    HBITMAP picture = nullptr;
    int x = 0;
    int y = 0;
    const int count = g_pItemCatalog ? g_pItemCatalog->GetItemCount(item.byGender, item.byCategory) : 0;
    for (int i = 0; i < count; ++i) {
        if (g_pItemCatalog->GetItem(item.byGender, item.byCategory, i, &picture, &x, &y) == &item) {
            return ItemSquare(picture, x, y);
        }
    }
    return ItemSquare(nullptr, 0, 0);
}

// What a worn item leaves in the item list.
SKINLIST_PICTURE Placeholder()
{
    SKINLIST_PICTURE square;
    square.hBitmap = g_pItemCatalog ? g_pItemCatalog->m_hWornPicture : nullptr;
    square.nSourceWidth = square.nWidth = CUserInfoWnd::kWornCellSize;
    square.nSourceHeight = square.nHeight = CUserInfoWnd::kWornCellSize;
    return square;
}

} // namespace

CUserInfoWnd::CUserInfoWnd() : CSkinFrame(new CUserInfoWndSkin) {}

CUserInfoWnd::~CUserInfoWnd() = default;

CUserInfoLayout& CUserInfoWnd::Layout() const
{
    return static_cast<CUserInfoWndSkin*>(m_pSkin)->m_layout;
}

CString CUserInfoWnd::Table(LPCSTR key) const
{
    return g_pSession ? g_pSession->GetTableString(key) : CString();
}

void CUserInfoWnd::ShowText(const CString& text)
{
    ShowNotifyBox(text, 0, 13);
}

INT_PTR CUserInfoWnd::RunNotice(CNoticeDlg& notice)
{
    return notice.DoModal();
}

// ---- Creation ------------------------------------------------------------------------------

BOOL CUserInfoWnd::CreateWnd(CMainFrame* frame, CSkinElement* element)
{
    m_pFrame = frame;
    if (!element || !CreatePopup(frame, element, 1)) {
        return FALSE;
    }
    CenterWindow(frame);
    return TRUE;
}

int CUserInfoWnd::OnCreate(LPCREATESTRUCT cs)
{
    if (CSkinFrame::OnCreate(cs) == -1) {
        return -1;
    }
    if (!CreateControls()) {
        return -1;
    }
    CreateOffscreen();
    m_brWhite.CreateSolidBrush(RGB(255, 255, 255));
    LoadSubBitmaps();
    return 0;
}

BOOL CUserInfoWnd::CreateControls()
{
    CUserInfoLayout& layout = Layout();
    for (int i = 0; i < CUserInfoLayout::BUTTON_COUNT; ++i) {
        if (!CreateElementButton(&m_btnButtons[i], &layout.m_elButtons[i], this)) {
            return FALSE;
        }
    }
    const CSkinElement& nick = layout.m_elControls[CUserInfoLayout::EDIT_NICK];
    const CSkinElement& intro = layout.m_elControls[CUserInfoLayout::EDIT_INTRO];
    if (!m_editNick.Create(WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, nick.rcRect, this, static_cast<UINT>(nick.nID)) ||
        !m_editIntro.Create(WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL, intro.rcRect, this,
                            static_cast<UINT>(intro.nID))) {
        return FALSE;
    }
    // What the service keeps: a nickname of 31 bytes, an introduction of 255.
    m_editNick.LimitText(kNicknameBytes);
    m_editIntro.LimitText(kIntroBytes);
    m_editNick.SetFont(CFont::FromHandle(ToolkitGuiFont()));
    m_editIntro.SetFont(CFont::FromHandle(ToolkitGuiFont()));
    m_wndAvatar.Create(layout.m_rcAvatarWindow, this, static_cast<UINT>(layout.m_nAvatarWindowId), false);

    const USER_INFO_LIST* lists[] = {&layout.m_listSelAble, &layout.m_listEqd};
    CSkinListCtrl* controls[] = {&m_listItems, &m_listWorn};
    for (int i = 0; i < 2; ++i) {
        SKINLIST_LAYOUT grid;
        grid.nMode = SKINLIST_MODE_GRID;
        grid.nCellWidth = kWornCellSize;
        grid.nCellHeight = kWornCellSize;
        grid.nColumns = lists[i]->nViewHor;
        grid.nRows = lists[i]->nViewVer;
        if (!controls[i]->Create(this, static_cast<UINT>(lists[i]->nID), lists[i]->rcRect, grid)) {
            return FALSE;
        }
        SKINLIST_COLUMN picture;
        picture.nWidth = kWornCellSize;
        controls[i]->AddColumn(&picture);
        SKINLIST_COLUMN item;
        item.bVisible = 0;
        controls[i]->AddColumn(&item);
        controls[i]->ShowWindow(SW_HIDE);
    }
    for (int i = 0; i < kWornRows; ++i) {
        m_listWorn.InsertItem();
    }
    FillItemList(m_nCategory);
    m_tabPart.Create(this, layout.m_tabPart.nTabCount, layout.m_tabPart.strImage, true, layout.m_tabPart.rcRect,
                     static_cast<UINT>(layout.m_tabPart.nID));
    m_tabPart.ShowWindow(SW_HIDE);
    m_tabInfo.Create(this, layout.m_tabInfo.nTabCount, layout.m_tabInfo.strImage, true, layout.m_tabInfo.rcRect,
                     static_cast<UINT>(layout.m_tabInfo.nID));
    return TRUE;
}

int CUserInfoWnd::LoadSubBitmaps()
{
    const CUserInfoLayout& layout = Layout();
    const CString folder = ToolkitSkinFolder() + "\\";
    const struct {
        const CString* name;
        CBitmap* bitmap;
    } pictures[] = {{&layout.m_strImageMyItem, &m_bmpSub[0]},
                    {&layout.m_strImageMyInfo, &m_bmpSub[1]},
                    {&layout.m_strImageUserInfo, &m_bmpSub[2]},
                    {&layout.m_strBgMyInfo, &m_bmpBg[0]},
                    {&layout.m_strBgUserInfo, &m_bmpBg[1]}};
    for (const auto& picture : pictures) {
        if (!LoadBitmapFile(folder + *picture.name, picture.bitmap, nullptr)) {
            ShowFileReadError(folder + *picture.name);
            return 0;
        }
    }
    return 1;
}

void CUserInfoWnd::FreeSubBitmaps()
{
    for (CBitmap& bitmap : m_bmpSub) {
        bitmap.DeleteObject();
    }
    for (CBitmap& bitmap : m_bmpBg) {
        bitmap.DeleteObject();
    }
    m_bmpPicture.DeleteObject();
}

void CUserInfoWnd::OnDestroy()
{
    if (m_wndAvatar.GetSafeHwnd()) {
        m_wndAvatar.StopRender();
    }
    m_listItems.DeleteAllItems();
    m_listWorn.DeleteAllItems();
    DestroyOffscreen();
    m_brWhite.DeleteObject();
    FreeSubBitmaps();
    CSkinFrame::OnDestroy();
}

// ---- Showing a member ----------------------------------------------------------------------

void CUserInfoWnd::QueryAvatarInfo(long user)
{
    if (!g_pSession || !g_pSession->GetComm() || !GetSafeHwnd()) {
        return;
    }
    if (CClientApp* app = ClientApp()) {
        m_nLanguage = app->m_bGermanSkin ? LANGUAGE_GERMAN : app->m_bKoreanSkin ? LANGUAGE_KOREAN : LANGUAGE_DEFAULT;
    }
    std::fill(std::begin(m_nWornRow), std::end(m_nWornRow), -1);
    m_listWorn.ShowWindow(SW_HIDE);
    m_listItems.ShowWindow(SW_HIDE);
    m_tabInfo.ShowWindow(SW_HIDE);
    m_tabPart.ShowWindow(SW_HIDE);
    m_nCategory = ITEM_HAIR;
    m_lUser = user;
    m_pHoverItem = m_pHoverWorn = nullptr;
    m_bmpPicture.DeleteObject();
    if (user == CAvatarViewWnd::kOwnUser) {
        ShowOwn();
    } else {
        ShowOther(user);
    }
    m_wndAvatar.LoadUserAvatar(user);
    m_wndAvatar.StartRender();
    ShowWindow(SW_SHOW);
    Invalidate(FALSE);
}

void CUserInfoWnd::ShowOwn()
{
    m_bOther = FALSE;
    m_bItemsTab = FALSE;
    if (g_pItemCatalog) {
        g_pItemCatalog->QueryMyItems();
    }
    CPtrList list;
    if (!g_pSession->GetComm()->QueryAvataInfo(g_pSession->m_OwnUser.lUser, list)) {
        ShowText(Table("E_NETWORK_FAIL") + " QueryAvataInfo");
    }
    m_strLoadedNick.Empty();
    if (!list.IsEmpty()) {
        const auto* head = static_cast<const YONDA_AVATAR_HEAD*>(list.GetHead());
        m_strLoadedNick = CClientSession::ConvertEntities(Field(head->szNickname, sizeof(head->szNickname)));
    }
    CClientSession::ClearUserList(list);

    m_editNick.ShowWindow(SW_SHOW);
    m_editNick.EnableWindow(TRUE);
    m_editIntro.ShowWindow(SW_SHOW);
    m_editIntro.EnableWindow(TRUE);
    m_editNick.SetReadOnly(FALSE);
    SetEditText(m_editNick, m_strLoadedNick);
    const CUserInfoLayout& layout = Layout();
    m_btnButtons[CUserInfoLayout::ADD_FRIEND_BTN].ShowWindow(SW_HIDE);
    m_btnButtons[CUserInfoLayout::SEND_MESSAGE_BTN].ShowWindow(SW_HIDE);
    m_btnButtons[CUserInfoLayout::CANCEL_BTN].ShowWindow(SW_SHOW);
    m_btnButtons[CUserInfoLayout::SCREENSHOT_BTN].ShowWindow(SW_SHOW);
    m_btnButtons[CUserInfoLayout::OK_BTN].MoveWindow(&layout.m_elButtons[CUserInfoLayout::OK_BTN].rcRect);
    m_btnButtons[CUserInfoLayout::OK_BTN].EnableWindow(TRUE);
    m_tabInfo.SetCurSel(0);
    m_tabInfo.ShowWindow(SW_SHOW);

    g_pSession->SendRequest(REQ_MY_USER_INFO, 0, 0);
    FillOwnTexts();
    m_editIntro.SetReadOnly(FALSE);
    m_strLoadedIntro = g_pSession->m_OwnUser.szText[5];
    SetEditText(m_editIntro, m_strLoadedIntro);

    // Each category once, so every slot's worn row is known; then the worn list and the hair.
    for (int category : {ITEM_HAIR, ITEM_UPPER, ITEM_LOWER, ITEM_FOOTWEAR, ITEM_HAND}) {
        FillItemList(category);
    }
    FillWornList();
    m_nCategory = ITEM_HAIR;
    m_tabPart.SetCurSel(0);
    FillItemList(ITEM_HAIR);
}

void CUserInfoWnd::FillOwnTexts()
{
    const OWN_USER_INFO& own = g_pSession->m_OwnUser;
    const CUserInfoLayout& layout = Layout();
    const CString hidden = HiddenWord(m_nLanguage);
    for (CString& text : m_strTexts) {
        text.Empty();
    }
    m_strTexts[UI_TEXT_ID] = own.szID;
    m_strTexts[UI_TEXT_NICKNAME] = m_strLoadedNick;
    m_strTexts[UI_TEXT_GENDER] = own.cLetter[0] == 'F' ? layout.m_strGenderGirl : layout.m_strGenderBoy;
    const unsigned age = static_cast<unsigned char>(own.cLetter[1]);
    m_strTexts[UI_TEXT_AGE].Format("%u", age);
    if (age == 0) {
        m_strTexts[UI_TEXT_AGE] = hidden;
    }
    CString city = m_nLanguage == LANGUAGE_GERMAN ? kGermanNowhere : kKoreanNowhere;
    if (m_pFrame) {
        city = m_pFrame->LookupComboText(own.szText[0]);
    }
    m_strTexts[UI_TEXT_CITY] = city.IsEmpty() ? hidden : city;
    m_strTexts[UI_TEXT_TEL] = own.szText[3][0] ? CString(own.szText[3]) : hidden;
    m_strTexts[UI_TEXT_EMAIL] = own.szText[4];
}

void CUserInfoWnd::ShowOther(long user)
{
    m_bOther = TRUE;
    m_bItemsTab = FALSE;
    m_editNick.ShowWindow(SW_HIDE);
    m_editIntro.ShowWindow(SW_SHOW);
    m_editIntro.EnableWindow(FALSE);
    m_btnButtons[CUserInfoLayout::ADD_FRIEND_BTN].ShowWindow(SW_SHOW);
    m_btnButtons[CUserInfoLayout::ADD_FRIEND_BTN].EnableWindow(TRUE);
    m_btnButtons[CUserInfoLayout::SEND_MESSAGE_BTN].ShowWindow(SW_SHOW);
    m_btnButtons[CUserInfoLayout::SEND_MESSAGE_BTN].EnableWindow(TRUE);
    m_btnButtons[CUserInfoLayout::CANCEL_BTN].ShowWindow(SW_HIDE);
    m_btnButtons[CUserInfoLayout::SCREENSHOT_BTN].ShowWindow(SW_HIDE);
    m_btnButtons[CUserInfoLayout::OK_BTN].MoveWindow(&Layout().m_elButtons[CUserInfoLayout::CANCEL_BTN].rcRect);
    m_btnButtons[CUserInfoLayout::OK_BTN].EnableWindow(TRUE);
    QueryUserInfo(user);
    FetchPicture(user);
}

void CUserInfoWnd::QueryUserInfo(long user)
{
    EX_YONDA_BODY_R_USER_INFO info{};
    CYondaComm* comm = g_pSession ? g_pSession->GetComm() : nullptr;
    if (!comm || !comm->IsConnected() || !comm->QueryUserInfo(user, info)) {
        ShowText(Table("E_NETWORK_FAIL") + " QueryUserInfo");
        return;
    }
    CMainFrame* frame = m_pFrame;
    FormatProfile(
        info, Layout(), m_nLanguage, [frame](LPCSTR code) { return frame ? frame->LookupComboText(code) : CString(); },
        m_strTexts, &m_strIntro);
    SetEditText(m_editIntro, m_strIntro);
    m_editIntro.SetReadOnly(TRUE);
}

void CUserInfoWnd::FormatProfile(const EX_YONDA_BODY_R_USER_INFO& info, const CUserInfoLayout& layout, int language,
                                 const std::function<CString(LPCSTR code)>& areaName, CString texts[UI_TEXT_COUNT],
                                 CString* intro)
{
    const CString hidden = HiddenWord(language);
    // Entities are letters only in German text; elsewhere they are shown as typed.
    auto decode = [language](const CString& text) {
        return language == LANGUAGE_GERMAN ? CClientSession::ConvertEntities(text) : text;
    };
    const CString nickname = decode(Field(info.szNickname, sizeof(info.szNickname)));
    texts[UI_TEXT_HEAD] = ToolkitFormatText(layout.m_strOtherAvatarHead, nickname);
    texts[UI_TEXT_ID] = Field(info.szID, sizeof(info.szID));
    texts[UI_TEXT_NICKNAME] = nickname;
    texts[UI_TEXT_GENDER] = info.cGender == 'F' ? layout.m_strGenderGirl : layout.m_strGenderBoy;
    texts[UI_TEXT_AGE].Format("%d", static_cast<int>(info.byAge));
    if (texts[UI_TEXT_AGE] == "0") {
        texts[UI_TEXT_AGE] = hidden;
    }
    const CString city = areaName ? areaName(Field(info.szArea, sizeof(info.szArea))) : CString();
    texts[UI_TEXT_CITY] = city.IsEmpty() ? hidden : city;
    texts[UI_TEXT_JOB] = Field(info.szJob, sizeof(info.szJob));
    texts[UI_TEXT_HOBBY] = Field(info.szHobby, sizeof(info.szHobby));
    texts[UI_TEXT_CLUB].Empty();
    const CString tel = Field(info.szTel, sizeof(info.szTel));
    texts[UI_TEXT_TEL] = tel.IsEmpty() ? hidden : tel;
    texts[UI_TEXT_EMAIL] = Field(info.szEmail, sizeof(info.szEmail));
    if (intro) {
        *intro = decode(Field(info.szIntro, sizeof(info.szIntro)));
    }
}

CString CUserInfoWnd::HiddenWord(int language)
{
    return language == LANGUAGE_GERMAN ? kGermanHidden : kKoreanHidden;
}

void CUserInfoWnd::FetchPicture(long user)
{
    m_bmpPicture.DeleteObject();
    CYondaComm* comm = g_pSession ? g_pSession->GetComm() : nullptr;
    if (!comm || !comm->IsConnected()) {
        return;
    }
    const CString folder = g_strInstallPath + "\\" + kPictureFolder;
    if (!FileExists(folder)) {
        ::CreateDirectoryA(folder, nullptr);
    }
    CString path;
    path.Format("%s\\%ld.jpg", folder.GetString(), user);
    // A member who never uploaded one simply has none; an older copy is not shown for it.
    if (!comm->QueryAvatarImage(user, path)) {
        ::DeleteFileA(path);
        return;
    }
    if (HBITMAP picture = LoadJpegHandle(path)) {
        m_bmpPicture.Attach(picture);
    }
}

void CUserInfoWnd::SetEditText(CSkinEdit& edit, const CString& text)
{
    edit.SetSel(0, -1);
    edit.Clear();
    edit.SetWindowText(text);
}

// ---- Items ---------------------------------------------------------------------------------

int CUserInfoWnd::Gender() const
{
    char letter = 0;
    if (g_pSession) {
        letter =
            g_pSession->m_OwnUser.cLetter[0] ? g_pSession->m_OwnUser.cLetter[0] : g_pSession->m_OwnAvatar.cLetter[0];
    }
    return letter == 'F' ? 2 : 1;
}

int CUserInfoWnd::SlotOfItem(const ITEM_RECORD& item)
{
    return CItemCatalog::WornSlotOfCategory(item.byCategory);
}

void CUserInfoWnd::AddItemRows(int category)
{
    CItemCatalog* catalog = g_pItemCatalog;
    const int count = catalog->GetItemCount(Gender(), category);
    for (int i = 0; i < count; ++i) {
        HBITMAP picture = nullptr;
        int x = 0;
        int y = 0;
        ITEM_RECORD* item = catalog->GetItem(Gender(), category, i, &picture, &x, &y);
        if (!item || !item->byOwned) {
            continue;
        }
        const int row = m_listItems.InsertItem();
        if (row < 0) {
            return;
        }
        if (item->byWorn) {
            // Worn: only the placeholder here, the item itself is in the worn list.
            const SKINLIST_PICTURE placeholder = Placeholder();
            m_listItems.SetImageCell(row, 0, &placeholder);
            const int slot = SlotOfItem(*item);
            if (slot >= 0) {
                m_nWornRow[slot] = row;
            }
            continue;
        }
        const SKINLIST_PICTURE square = ItemSquare(picture, x, y);
        m_listItems.SetImageCell(row, 0, &square);
        m_listItems.SetDataCell(row, 1, item, 0);
    }
}

void CUserInfoWnd::FillItemList(int category)
{
    if (!m_listItems.GetSafeHwnd()) {
        return;
    }
    m_listItems.DeleteAllItems();
    if (g_pItemCatalog && category >= 0 && category < ITEM_CATEGORY_COUNT) {
        AddItemRows(category);
        if (category == ITEM_HAND) {
            AddItemRows(ITEM_HAIR_ITEM);
        }
    }
    m_listItems.Invalidate(FALSE);
}

ITEM_RECORD* CUserInfoWnd::WornItem(int slot) const
{
    return slot >= 0 && slot < kWornSlotCount && slot < m_listWorn.GetItemCount()
               ? static_cast<ITEM_RECORD*>(m_listWorn.GetItemData(slot, 1))
               : nullptr;
}

void CUserInfoWnd::SetWornRow(int slot, ITEM_RECORD* item)
{
    m_listWorn.ClearCell(slot, 0);
    m_listWorn.ClearCell(slot, 1);
    if (!item) {
        return;
    }
    const SKINLIST_PICTURE square = ItemSquare(*item);
    m_listWorn.SetImageCell(slot, 0, &square);
    m_listWorn.SetDataCell(slot, 1, item, 0);
}

void CUserInfoWnd::FillWornList()
{
    for (int slot = 0; slot < kWornSlotCount; ++slot) {
        SetWornRow(slot, g_pItemCatalog ? g_pItemCatalog->m_pServiceWorn[slot] : nullptr);
    }
    m_listWorn.Invalidate(FALSE);
}

void CUserInfoWnd::WearRow(int row)
{
    auto* item = static_cast<ITEM_RECORD*>(m_listItems.GetItemData(row, 1));
    const int slot = item ? SlotOfItem(*item) : -1;
    if (!item || slot < 0 || item->byWorn) {
        return;
    }
    CGlobalLock lock;
    item->byWorn = 1;
    // The slot's item before: its row in this list gets it back.
    if (ITEM_RECORD* before = WornItem(slot)) {
        before->byWorn = 0;
        const int old = m_nWornRow[slot];
        if (old >= 0 && old < m_listItems.GetItemCount() && !m_listItems.GetItemData(old, 1) &&
            TabOfCategory(before->byCategory) == TabOfCategory(m_nCategory)) {
            const SKINLIST_PICTURE square = ItemSquare(*before);
            m_listItems.SetImageCell(old, 0, &square);
            m_listItems.SetDataCell(old, 1, before, 0);
        }
    }
    SetWornRow(slot, item);
    const SKINLIST_PICTURE placeholder = Placeholder();
    m_listItems.ClearCell(row, 1);
    m_listItems.SetImageCell(row, 0, &placeholder);
    m_nWornRow[slot] = row;
    // The worn list scrolls to the slot only when its cells do not all show.
    const USER_INFO_LIST& worn = Layout().m_listEqd;
    if (slot >= worn.nViewHor * worn.nViewVer) {
        m_listWorn.SetScrollPos(slot - worn.nViewHor * worn.nViewVer + 1);
    }
    m_listWorn.Invalidate(FALSE);
    m_listItems.Invalidate(FALSE);
    m_wndAvatar.WearItem(Gender(), item->byCategory, item->nItemNumber, item->szTexture);
}

void CUserInfoWnd::TakeOffRow(int row)
{
    ITEM_RECORD* item = row >= 0 && row < kWornSlotCount ? WornItem(row) : nullptr;
    if (!item) {
        return;
    }
    const int slot = SlotOfItem(*item);
    CGlobalLock lock;
    item->byWorn = 0;
    SetWornRow(row, nullptr);
    if (slot >= 0) {
        m_nWornRow[slot] = -1;
    }
    m_wndAvatar.ChangeItem(Gender(), item->byCategory);
    // The item's own category comes up, where it is offered again with its picture.
    m_nCategory = item->byCategory == ITEM_HAIR_ITEM ? static_cast<int>(ITEM_HAND) : static_cast<int>(item->byCategory);
    m_tabPart.SetCurSel(TabOfCategory(m_nCategory));
    m_tabPart.Invalidate(FALSE);
    FillItemList(m_nCategory);
    m_listWorn.Invalidate(FALSE);
}

// ---- Tabs and lists ------------------------------------------------------------------------

void CUserInfoWnd::SetItemsMode(BOOL items)
{
    m_bItemsTab = items;
    const int list = items ? SW_SHOW : SW_HIDE;
    const int edits = items ? SW_HIDE : SW_SHOW;
    m_editNick.ShowWindow(edits);
    m_editIntro.ShowWindow(edits);
    m_listWorn.ShowWindow(list);
    m_listItems.ShowWindow(list);
    m_tabPart.ShowWindow(list);
    if (items) {
        FillItemList(m_nCategory);
    }
}

void CUserInfoWnd::OnTab(CTabButton* strip, int tab)
{
    if (strip == &m_tabPart) {
        m_nCategory = CategoryOfTab(tab);
        FillItemList(m_nCategory);
    } else if (strip == &m_tabInfo && !m_bOther) {
        SetItemsMode(tab != 0);
    }
    Invalidate(FALSE);
}

void CUserInfoWnd::OnHover(CSkinListCtrl* list, int row)
{
    const ITEM_RECORD* item = row >= 0 ? static_cast<const ITEM_RECORD*>(list->GetItemData(row, 1)) : nullptr;
    const BOOL worn = list == &m_listWorn;
    const ITEM_RECORD*& shown = worn ? m_pHoverWorn : m_pHoverItem;
    if (shown == item) {
        return;
    }
    shown = item;
    const RECT box = (worn ? Layout().m_listEqd : Layout().m_listSelAble).rcExp;
    InvalidateRect(&box, FALSE);
}

// ---- OK, cancel and the other buttons ------------------------------------------------------

LPCSTR CUserInfoWnd::NicknameRefusal(const CString& nickname, int language)
{
    const int bytes = nickname.GetLength();
    if (nickname.IsEmpty() || !IsValidNickname(nickname) || FindSpace(nickname) || bytes > kNicknameBytes ||
        (language == LANGUAGE_KOREAN && CountMbcsChars(nickname) > 6) ||
        (language == LANGUAGE_GERMAN && (bytes < 2 || bytes > 12))) {
        return "M_NICKNAME_TO_BAD";
    }
    if (!IsAllowedName(nickname)) {
        return "M_NICKNAME_IS_A_MASTER";
    }
    return nullptr;
}

void CUserInfoWnd::Close()
{
    m_wndAvatar.StopRender();
    ShowWindow(SW_HIDE);
}

BOOL CUserInfoWnd::ApplyChanges()
{
    // Another member's window only shows: nothing of it is the own member's to send.
    if (m_bOther || !g_pSession || !g_pSession->GetComm()) {
        Close();
        return TRUE;
    }
    CString nickname;
    CString intro;
    m_editNick.GetWindowText(nickname);
    m_editIntro.GetWindowText(intro);
    TrimString(nickname);
    if (LPCSTR refusal = NicknameRefusal(nickname, m_nLanguage)) {
        ShowText(Table(refusal));
        return FALSE;
    }
    CItemCatalog* catalog = g_pItemCatalog;
    const bool items = catalog && catalog->HasChanges();
    if (nickname == m_strLoadedNick && intro == m_strLoadedIntro && !items) {
        Close();
        return TRUE;
    }
    CYondaComm* comm = g_pSession->GetComm();
    if (catalog) {
        for (int slot = 0; slot < kWornSlotCount; ++slot) {
            catalog->m_pChosenWorn[slot] = WornItem(slot);
        }
    }
    if (items) {
        if (catalog->RequestItemChange()) {
            g_pSession->SendRequest(REQ_MY_AVATAR_INFO, 0, 0);
        } else {
            ShowText(Table("M_MODIFY_USER_ITEM") + Table("E_NETWORK_FAIL"));
        }
    }
    if (nickname != m_strLoadedNick) {
        const BOOL stored = comm->QueryUserModNickName(nickname);
        const BOOL told = stored && comm->QueryModNickName(g_pSession->m_nCurrentLobby, nickname);
        // Once the service keeps the new name it is the member's, even when the place was not told.
        if (stored) {
            CopyField(g_pSession->m_OwnUser.szNickname, nickname, static_cast<size_t>(nickname.GetLength()));
            CopyField(g_pSession->m_OwnAvatar.szNickname, nickname, static_cast<size_t>(nickname.GetLength()));
            m_strLoadedNick = nickname;
            if (CSceneSink* view = g_pSession->GetSceneSink()) {
                CGlobalLock lock;
                view->RenameUser(g_pSession->m_OwnUser.lUser, nickname);
            }
        }
        if (!told) {
            ShowText(Table("M_MODIFY_USER_NICKNAME") + Table("E_NETWORK_FAIL"));
        }
    }
    if (intro != m_strLoadedIntro) {
        if (comm->QueryUserModIntro(intro)) {
            CopyField(g_pSession->m_OwnUser.szText[5], intro, static_cast<size_t>(intro.GetLength()));
            m_strLoadedIntro = intro;
        } else {
            ShowText(Table("M_MODIFY_USER_INTRO") + Table("E_NETWORK_FAIL"));
        }
    }
    Close();
    return TRUE;
}

void CUserInfoWnd::CaptureAndUpload()
{
    if (!g_pSession) {
        return;
    }
    const CUserInfoLayout& layout = Layout();
    const CString folder = m_pFrame && GetParent() ? m_pFrame->m_wndToolBar.GetScreenshotFolder() : CString();
    const CString jpeg = m_wndAvatar.CaptureAvatar(folder.IsEmpty() ? CString("ScreenShot") : folder,
                                                   layout.m_nCaptureWidth, layout.m_nCaptureHeight);
    if (jpeg.IsEmpty()) {
        ShowText(Table("E_AVATAR_CAPTURED"));
        return;
    }
    const CString bmp = jpeg + ".bmp";
    if (!FileExists(bmp)) {
        const CString name = bmp.Mid(bmp.ReverseFind('\\') + 1);
        ShowText(g_pSession->FormatTableString("M_FILE_NOT_FOUND", name));
        return;
    }
    CSkinElement* element = g_pMainSkin ? g_pMainSkin->Element("DLG_BITMAP_VIEWER") : nullptr;
    CNoticeDlg notice(element, this);
    notice.SetImageSize(layout.m_nCaptureWidth, layout.m_nCaptureHeight);
    if (!notice.SetBitmapFile(bmp)) {
        return;
    }
    const INT_PTR answer = RunNotice(notice);
    CString result;
    if (answer == IDOK) {
        CYondaComm* comm = g_pSession->GetComm();
        if (!comm || !comm->IsConnected()) {
            result = Table("E_NETWORK_FAIL");
        } else {
            result = Table(comm->UploadAvatarImage(g_pSession->m_OwnUser.szID, jpeg) ? "S_AVATAR_IMAGE_UPLOAD"
                                                                                     : "E_AVATAR_IMAGE_UPLOAD");
        }
    }
    ::DeleteFileA(bmp);
    // A picture the member did not want is not followed by an empty box.
    if (!result.IsEmpty()) {
        ShowText(result);
    }
}

void CUserInfoWnd::OpenMessageWindow()
{
    CString id;
    CString nickname;
    if (!m_pFrame || !g_pSession || !g_pSession->GetUserNames(m_lUser, &id, &nickname)) {
        ShowText(Table("E_NETWORK_FAIL") + " QueryUserInfo");
        return;
    }
    m_pFrame->OpenMessageWindow(m_lUser, id, nickname, nullptr, FALSE);
}

BOOL CUserInfoWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) != BN_CLICKED) {
        return CSkinFrame::OnCommand(wParam, lParam);
    }
    switch (LOWORD(wParam)) {
    case kCommandOk: ApplyChanges(); return TRUE;
    case kCommandCancel: Close(); return TRUE;
    case kCommandAddFriend:
        if (m_pFrame && m_bOther) {
            m_pFrame->RequestAddFriend(m_lUser);
        }
        return TRUE;
    case kCommandSendMessage:
        if (m_pFrame && m_bOther) {
            OpenMessageWindow();
        }
        return TRUE;
    case kCommandScreenshot:
        if (!m_bOther) {
            CaptureAndUpload();
        }
        return TRUE;
    default: return CSkinFrame::OnCommand(wParam, lParam);
    }
}

void CUserInfoWnd::OnShowWindow(BOOL show, UINT status)
{
    CSkinFrame::OnShowWindow(show, status);
    if (!show && m_wndAvatar.GetSafeHwnd()) {
        m_wndAvatar.StopRender();
    }
}

LRESULT CUserInfoWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE: m_wndAvatar.StopRender(); return 0; // the window stays for its next member
    case UM_TAB_SELECT: OnTab(reinterpret_cast<CTabButton*>(lParam), static_cast<int>(wParam)); return 0;
    case UM_LIST_HOVER: OnHover(reinterpret_cast<CSkinListCtrl*>(lParam), static_cast<int>(wParam)); return 0;
    case UM_LIST_CLICK: {
        const int row = static_cast<int>(wParam);
        if (row >= 0 && !m_bOther) {
            if (reinterpret_cast<CSkinListCtrl*>(lParam) == &m_listItems) {
                WearRow(row);
            } else if (reinterpret_cast<CSkinListCtrl*>(lParam) == &m_listWorn) {
                TakeOffRow(row);
            }
        }
        return 0;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        ::SetBkColor(dc, RGB(255, 255, 255));
        ::SetTextColor(dc, RGB(0, 0, 0));
        return reinterpret_cast<LRESULT>(m_brWhite.GetSafeHandle());
    }
    case CAvatarViewWnd::kDeviceLost: m_wndAvatar.Pause(); return 0;
    case CAvatarViewWnd::kDeviceRestored: m_wndAvatar.Resume(); return 0;
    default: return CSkinFrame::WindowProc(message, wParam, lParam);
    }
}

// ---- Painting ------------------------------------------------------------------------------

void CUserInfoWnd::DrawExplanation(CDC* dc, const USER_INFO_LIST& box, const ITEM_RECORD* item, BOOL second)
{
    dc->FillSolidRect(&box.rcExp, box.crExpBack);
    if (!item) {
        return;
    }
    dc->SetTextColor(box.crExpText);
    dc->TextOut(box.ptExpText.x, box.ptExpText.y, item->szName);
    if (second) {
        dc->TextOut(box.ptExpText.x + kSecondTextOffset, box.ptExpText.y, item->szText);
    }
}

void CUserInfoWnd::DrawTexts(CDC* dc)
{
    const POINT* points = m_bOther ? Layout().m_ptUserInfo : Layout().m_ptMyInfo;
    dc->SetTextColor(RGB(0, 0, 0));
    for (int i = 0; i < UI_TEXT_COUNT; ++i) {
        if (points[i].x >= 0) {
            dc->TextOut(points[i].x, points[i].y, m_strTexts[i]);
        }
    }
}

void CUserInfoWnd::OnPaint()
{
    CPaintDC paint(this);
    CRect client;
    GetClientRect(&client);
    CDC* dc = m_hMemDC ? &m_dcMem : &paint;
    SkinDrawBackground(dc, client, &m_bmpBg[m_bOther ? 1 : 0], 3);
    const CUserInfoLayout& layout = Layout();
    CBitmap& sub = m_bmpSub[m_bOther ? 2 : m_bItemsTab ? 0 : 1];
    if (sub.GetSafeHandle()) {
        BITMAP info{};
        sub.GetBitmap(&info);
        CDC mem;
        mem.CreateCompatibleDC(dc);
        CBitmap* old = mem.SelectObject(&sub);
        dc->BitBlt(layout.m_ptSubBg.x, layout.m_ptSubBg.y, info.bmWidth, info.bmHeight, &mem, 0, 0, SRCCOPY);
        if (m_bOther && m_bmpPicture.GetSafeHandle()) {
            // The uploaded picture fills its place, its sides kept in proportion.
            BITMAP picture{};
            m_bmpPicture.GetBitmap(&picture);
            const CRect place(layout.m_rcPicture);
            if (picture.bmWidth > 0 && picture.bmHeight > 0 && !place.IsRectEmpty()) {
                int width = place.Width();
                int height = MulDiv(width, picture.bmHeight, picture.bmWidth);
                if (height > place.Height()) {
                    height = place.Height();
                    width = MulDiv(height, picture.bmWidth, picture.bmHeight);
                }
                mem.SelectObject(&m_bmpPicture);
                dc->SetStretchBltMode(COLORONCOLOR);
                dc->StretchBlt(place.left + (place.Width() - width) / 2, place.top + (place.Height() - height) / 2,
                               width, height, &mem, 0, 0, picture.bmWidth, picture.bmHeight, SRCCOPY);
            }
        }
        mem.SelectObject(old);
    }
    HGDIOBJ oldFont = dc->SelectObject(ToolkitGuiFont());
    const int oldMode = dc->SetBkMode(TRANSPARENT);
    if (!m_bOther && m_bItemsTab) {
        DrawExplanation(dc, layout.m_listSelAble, m_pHoverItem, FALSE);
        DrawExplanation(dc, layout.m_listEqd, m_pHoverWorn, TRUE);
    } else {
        DrawTexts(dc);
    }
    dc->SetBkMode(oldMode);
    dc->SelectObject(oldFont);
    if (dc != &paint) {
        paint.BitBlt(0, 0, client.Width(), client.Height(), dc, 0, 0, SRCCOPY);
    }
}
