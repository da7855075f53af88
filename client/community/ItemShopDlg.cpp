#include "ItemShopDlg.h"

#include <ClientGlobals.h>
#include <ClientSession.h>
#include <ItemCatalog.h>
#include <NotifyDlg.h>

#include <cstdlib>
#include <cstring>

namespace {

// "Total : %s" in the program's Korean.
const char kKoreanTotal[] = "\xC3\xD1\xBA\xF1\xBF\xEB\x20\x3A\x20%s";
const char kGermanTotal[] = "Gesamt : %s";

CString TableText(LPCSTR key)
{
    return g_pSession ? g_pSession->GetTableString(key) : CString();
}

CString TableText(LPCSTR key, LPCSTR argument)
{
    return g_pSession ? g_pSession->FormatTableString(key, argument) : CString();
}

} // namespace

CItemShopDlg::CItemShopDlg(CSkinElement* element, CItemCatalog* catalog, CWnd* parent)
    : CSkinDialog(element, kTemplate, parent), m_pCatalog(catalog)
{
    for (int& selection : m_nSelection) {
        selection = -1;
    }
    m_pSkin = new CItemShopSkin;
    if (g_pSession) {
        m_lPoints = g_pSession->m_lPoints;
    }
}

CItemShopDlg::~CItemShopDlg() = default;

INT_PTR CItemShopDlg::RunBox(CNotifyDlg& box)
{
    return box.DoModal();
}

void CItemShopDlg::ShowText(const CString& text)
{
    CNotifyDlg box(text, 0, 13, this);
    RunBox(box);
}

BOOL CItemShopDlg::IsConnected() const
{
    return g_pSession && g_pSession->GetComm() && g_pSession->GetComm()->IsConnected();
}

// ---- Creation ----------------------------------------------------------------------------

int CItemShopDlg::OnCreate(LPCREATESTRUCT cs)
{
    if (CSkinDialog::OnCreate(cs) == -1) {
        return -1;
    }
    if (m_pElement) {
        SetWindowText(m_pElement->strTitle);
    }
    CItemShopSkin* skin = ShopSkin();
    CreateSkinButton(&m_btnClose, skin->Element("CloseBtn"), this, FALSE);
    CreateSkinButton(&m_btnOK, skin->Element("OKBTN"), this, TRUE);
    CreateSkinButton(&m_btnCancel, skin->Element("CANCELBTN"), this, TRUE);
    return CreateControls() ? 0 : -1;
}

BOOL CItemShopDlg::CreateControls()
{
    CItemShopSkin* skin = ShopSkin();
    if (!CreateSkinButton(&m_btnBasket, &skin->m_elShop[CItemShopSkin::BTN_BUY_BASKET], this, TRUE)) {
        return FALSE;
    }
    const CSkinElement& avatar = skin->m_elShop[CItemShopSkin::AVATAR_WND];
    if (m_wndAvatar.Create(avatar.rcRect, this, static_cast<UINT>(avatar.nID), true, CAvatarViewWnd::kOwnUser)) {
        m_wndAvatar.StartRender();
    }
    if (!m_wndGrid.Create(this, &skin->m_elShop[CItemShopSkin::LIST_STORE_ITEM], skin->m_strItemBaseImage,
                          &skin->m_elShop[CItemShopSkin::BTN_STORE_ITEM_BUY], m_pCatalog)) {
        return FALSE;
    }
    const ITEM_SHOP_TABS* rows[] = {&skin->m_storeTab, &skin->m_myItemTab};
    CTabButton* tabs[] = {&m_tabStore, &m_tabMyItem};
    for (int i = 0; i < 2; ++i) {
        tabs[i]->Create(this, rows[i]->nTabCount, rows[i]->strImage, true, rows[i]->rcRect,
                        static_cast<UINT>(rows[i]->nID));
    }
    SKINLIST_LAYOUT layout;
    layout.nMode = SKINLIST_MODE_GRID;
    layout.nCellWidth = kMyItemCell;
    layout.nCellHeight = kMyItemCell;
    layout.nColumns = skin->m_nMyItemColumns;
    layout.nRows = skin->m_nMyItemRows;
    if (m_listMyItem.Create(this, static_cast<UINT>(skin->m_nMyItemId), skin->m_rcMyItem, layout)) {
        SKINLIST_COLUMN picture;
        picture.nWidth = kMyItemCell;
        m_listMyItem.AddColumn(&picture);
        SKINLIST_COLUMN item;
        item.bVisible = 0;
        m_listMyItem.AddColumn(&item);
        m_listMyItem.ShowWindow(SW_SHOWNA);
    }
    if (m_pCatalog) {
        m_pCatalog->QueryMyItems();
    }
    return TRUE;
}

BOOL CItemShopDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    QueryPoints();
    char letter = 0;
    if (g_pSession) {
        letter =
            g_pSession->m_OwnAvatar.cLetter[0] ? g_pSession->m_OwnAvatar.cLetter[0] : g_pSession->m_OwnUser.cLetter[0];
    }
    m_nGender = letter == 'M' ? 1 : 2;
    m_wndGrid.Fill(m_nGender, m_nCategory, m_nSelection[m_nCategory]);
    FillMyItems();
    m_wndGrid.UpdateScrollBar();
    return TRUE;
}

void CItemShopDlg::OnPaint()
{
    CPaintDC dc(this);
    CWnd* lists[] = {&m_listMyItem, &m_wndGrid};
    for (CWnd* list : lists) {
        if (!list->GetSafeHwnd()) {
            continue;
        }
        CRect rect;
        list->GetWindowRect(&rect);
        ScreenToClient(&rect);
        dc.MoveTo(rect.left - 1, rect.top - 1);
        dc.LineTo(rect.right + 1, rect.top - 1);
    }
}

void CItemShopDlg::OnDestroy()
{
    EmptyBasket();
    if (m_wndAvatar.GetSafeHwnd()) {
        m_wndAvatar.StopRender();
        m_wndAvatar.DestroyWindow();
    }
    CSkinDialog::OnDestroy();
}

// ---- Points ------------------------------------------------------------------------------

void CItemShopDlg::ReportPoints()
{
    CWnd* frame = m_pParentWnd ? m_pParentWnd : AfxGetMainWnd();
    if (frame && frame->GetSafeHwnd()) {
        frame->SendMessage(kSetPoints, static_cast<WPARAM>(m_lPoints), reinterpret_cast<LPARAM>(this));
    }
}

void CItemShopDlg::QueryPoints()
{
    long points = 0;
    if (IsConnected() && g_pSession->GetComm()->QueryPointGetUserPoint(points)) {
        m_lPoints = points;
        ReportPoints();
    }
}

// ---- Lists ---------------------------------------------------------------------------------

void CItemShopDlg::AddOwnedRows(int category)
{
    const int count = m_pCatalog->GetItemCount(m_nGender, category);
    for (int i = 0; i < count; ++i) {
        HBITMAP picture = nullptr;
        int x = 0;
        int y = 0;
        ITEM_RECORD* item = m_pCatalog->GetItem(m_nGender, category, i, &picture, &x, &y);
        if (!item || !item->byOwned) {
            continue;
        }
        const int row = m_listMyItem.InsertItem();
        if (row < 0) {
            return;
        }
        SKINLIST_PICTURE square;
        square.hBitmap = picture;
        square.nSourceX = x;
        square.nSourceY = y;
        square.nSourceWidth = square.nWidth = kItemCellSize;
        square.nSourceHeight = square.nHeight = kItemCellSize;
        m_listMyItem.SetImageCell(row, 0, &square);
        m_listMyItem.SetDataCell(row, 1, item, 0);
    }
}

void CItemShopDlg::FillMyItems()
{
    if (!m_listMyItem.GetSafeHwnd() || !m_pCatalog) {
        return;
    }
    m_listMyItem.DeleteAllItems();
    AddOwnedRows(m_nCategory);
    if (m_nCategory == ITEM_HAND) {
        AddOwnedRows(ITEM_HAIR_ITEM);
    }
    m_listMyItem.Invalidate(FALSE);
}

void CItemShopDlg::ChangeCategory(int tab)
{
    if (tab < 0 || tab >= ITEM_CATEGORY_COUNT - 1) {
        return;
    }
    // The face has no tab: the tab after the first shows the upper body.
    m_nCategory = tab == 0 ? 0 : tab + 1;
    m_wndGrid.Fill(m_nGender, m_nCategory, m_nSelection[m_nCategory]);
    m_wndGrid.UpdateScrollBar();
    FillMyItems();
    // Both rows of tabs always show the same category.
    for (CTabButton* row : {&m_tabStore, &m_tabMyItem}) {
        if (row->GetSafeHwnd() && row->GetCurSel() != tab) {
            row->SetCurSel(tab);
        }
    }
}

void CItemShopDlg::OnMyItemClicked(int index)
{
    auto* item = static_cast<ITEM_RECORD*>(m_listMyItem.GetItemData(index, 1));
    if (item) {
        m_wndAvatar.WearItem(item->byGender, item->byCategory, item->nItemNumber, item->szTexture);
    }
}

// ---- Basket --------------------------------------------------------------------------------

void CItemShopDlg::MakeRecord(const ITEM_RECORD& item, EX_YONDA_BODY_Q_MYITEM_ADD* record)
{
    std::memset(record, 0, sizeof *record);
    record->cGender = item.byGender == 1 ? 'M' : 'F';
    record->cCategory = static_cast<char>('0' + item.byCategory % 10);
    const int number = item.nItemNumber < 0 ? 0 : item.nItemNumber % 1000;
    record->szNumber[0] = static_cast<char>('0' + number / 100);
    record->szNumber[1] = static_cast<char>('0' + number / 10 % 10);
    record->szNumber[2] = static_cast<char>('0' + number % 10);
    std::strcpy(record->szTexture, std::atoi(item.szTexture) != 0 ? "10" : "00");
    record->byCount = 1;
    record->cWorn = 'N';
}

ITEM_RECORD* CItemShopDlg::FindRecordItem(const EX_YONDA_BODY_Q_MYITEM_ADD& record) const
{
    if (!m_pCatalog) {
        return nullptr;
    }
    char number[sizeof record.szNumber] = {};
    std::memcpy(number, record.szNumber, sizeof number - 1);
    const BOOL variant = std::strncmp(record.szTexture, "00", 2) != 0;
    return m_pCatalog->FindItem(record.cGender, record.cCategory, std::atoi(number), variant);
}

void CItemShopDlg::AddToBasket(ITEM_RECORD* item)
{
    if (!item) {
        return;
    }
    EX_YONDA_BODY_Q_MYITEM_ADD record;
    MakeRecord(*item, &record);
    for (auto it = m_basket.begin(); it != m_basket.end();) {
        if (it->cCategory == record.cCategory) {
            if (const ITEM_RECORD* removed = FindRecordItem(*it)) {
                m_llBasketTotal -= removed->nPrice;
            }
            it = m_basket.erase(it);
        } else {
            ++it;
        }
    }
    if (item->byOwned) {
        return;
    }
    m_basket.push_back(record);
    m_llBasketTotal += item->nPrice;
}

void CItemShopDlg::EmptyBasket()
{
    m_basket.clear();
    m_llBasketTotal = 0;
}

void CItemShopDlg::OnItemClicked(UINT id, ITEM_RECORD* item)
{
    if (!item || m_nCategory < 0 || m_nCategory >= ITEM_CATEGORY_COUNT) {
        return;
    }
    m_nSelection[m_nCategory] = static_cast<int>(id) - 1;
    AddToBasket(item);
    m_wndAvatar.WearItem(item->byGender, item->byCategory, item->nItemNumber, item->szTexture);
}

// ---- Buying --------------------------------------------------------------------------------

void CItemShopDlg::MarkOwned(ITEM_RECORD* item)
{
    item->byOwned = 1;
    item->byWorn = 0;
    item->bySavedWorn = 0;
}

BOOL CItemShopDlg::BuyItem(ITEM_RECORD* item)
{
    if (!item || m_bBuying) {
        return FALSE;
    }
    if (item->byOwned) {
        ShowText(TableText("ITEM_ALREADY_EXIST", item->szName));
        return FALSE;
    }
    if (static_cast<long long>(m_lPoints) - item->nPrice < 0) {
        ShowText(TableText("NOT_ENOUGH_POINT", item->szName));
        return FALSE;
    }
    m_bBuying = TRUE;
    BOOL bought = FALSE;
    CNotifyDlg confirm(CString("CONFIRM_BUY_ITEM_DLG"), this);
    confirm.AddLine(item->szName);
    // Bought meanwhile by a press that came while the question was up: not again.
    if (RunBox(confirm) == IDOK && !item->byOwned && IsConnected()) {
        EX_YONDA_BODY_Q_MYITEM_ADD record;
        MakeRecord(*item, &record);
        long points = m_lPoints;
        if (g_pSession->GetComm()->QueryPointAddMyItem(&record, points)) {
            MarkOwned(item);
            m_lPoints = points;
            ReportPoints();
            bought = TRUE;
        } else {
            ShowText(TableText("M_BUY_SINGLE_ITEM") + TableText("E_GENERAL_MSG"));
            // The service's balance counts; the shown one may have been stale.
            QueryPoints();
        }
    }
    if (bought && m_pCatalog) {
        // The service's keys of the new items, which wearing them later needs.
        m_pCatalog->QueryMyItems();
    }
    FillMyItems();
    m_bBuying = FALSE;
    return bought;
}

BOOL CItemShopDlg::BuyBasket()
{
    if (m_bBuying) {
        return FALSE;
    }
    if (m_basket.empty()) {
        ShowText(TableText("ITEM_BASKET_EMPTY"));
        return FALSE;
    }
    m_bBuying = TRUE;
    CNotifyDlg confirm(CString("CONFIRM_BUY_ITEM_BASKET_DLG"), this);
    long long sum = 0;
    int lines = 0;
    for (const EX_YONDA_BODY_Q_MYITEM_ADD& record : m_basket) {
        const ITEM_RECORD* item = FindRecordItem(record);
        if (!item) {
            continue;
        }
        CString line;
        line.Format("%s : %s", item->szName, static_cast<LPCSTR>(FormatNumber(item->nPrice)));
        lines = confirm.InsertLine(lines - 1, line);
        sum += item->nPrice;
    }
    CString total;
    total.Format(g_bGermanText ? kGermanTotal : kKoreanTotal, static_cast<LPCSTR>(FormatNumber(static_cast<int>(sum))));
    lines = confirm.InsertLine(lines - 1, " ");
    lines = confirm.InsertLine(lines - 1, total);
    confirm.InsertLine(lines - 1, " ");
    const INT_PTR answer = RunBox(confirm);
    BOOL result = FALSE;
    if (answer != IDOK) {
        result = FALSE;
    } else if (m_basket.empty()) {
        // Emptied while the question was up.
        ShowText(TableText("ITEM_BASKET_EMPTY"));
    } else if (m_llBasketTotal > m_lPoints) {
        ShowText(TableText("NOT_ENOUGH_POINT_BASKET"));
    } else if (IsConnected()) {
        long points = m_lPoints;
        size_t bought = 0;
        for (; bought < m_basket.size(); ++bought) {
            EX_YONDA_BODY_Q_MYITEM_ADD record = m_basket[bought];
            if (!g_pSession->GetComm()->QueryPointAddMyItem(&record, points)) {
                break;
            }
            if (ITEM_RECORD* item = FindRecordItem(m_basket[bought])) {
                MarkOwned(item);
                m_llBasketTotal -= item->nPrice;
            }
        }
        // Only what the service sold leaves the basket; a refusal stops there and is told.
        m_basket.erase(m_basket.begin(), m_basket.begin() + static_cast<std::ptrdiff_t>(bought));
        m_lPoints = points;
        result = m_basket.empty();
        if (!result) {
            ShowText(TableText("M_BUY_SINGLE_ITEM") + TableText("E_GENERAL_MSG"));
            QueryPoints();
        } else {
            ReportPoints();
        }
        if (bought > 0 && m_pCatalog) {
            m_pCatalog->QueryMyItems();
        }
        FillMyItems();
    }
    m_bBuying = FALSE;
    return result;
}

// ---- Messages ------------------------------------------------------------------------------

void CItemShopDlg::OnSkinOk()
{
    EmptyBasket();
    EndDialog(IDOK);
}

void CItemShopDlg::OnSkinCancel()
{
    EmptyBasket();
    EndDialog(IDCANCEL);
}

BOOL CItemShopDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == kCommandBuyBasket && HIWORD(wParam) == BN_CLICKED) {
        if (BuyBasket()) {
            EmptyBasket();
        }
        return TRUE;
    }
    return CSkinDialog::OnCommand(wParam, lParam);
}

LRESULT CItemShopDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case UM_TAB_SELECT: ChangeCategory(static_cast<int>(wParam)); return 0;
    case UM_LIST_DBLCLICK: OnMyItemClicked(static_cast<int>(wParam)); return 0;
    case UM_ITEM_CELL_CLICK:
        OnItemClicked(static_cast<UINT>(wParam), m_wndGrid.ItemOfCell(reinterpret_cast<HWND>(lParam)));
        return 0;
    case UM_ITEM_CELL_DBLCLICK: return 0;
    case UM_ITEM_CELL_BUY: BuyItem(m_wndGrid.ItemOfCell(reinterpret_cast<HWND>(lParam))); return 0;
    case CAvatarViewWnd::kDeviceLost: m_wndAvatar.Pause(); return 0;
    case CAvatarViewWnd::kDeviceRestored: m_wndAvatar.Resume(); return 0;
    default: return CSkinDialog::WindowProc(message, wParam, lParam);
    }
}
