#pragma once
// The item shop: the store's items of one category in the item grid, the member's own items of
// it in a list, and the member's avatar in a preview that tries on the item last clicked. A
// click also puts the item into the basket (one per category); a cell's buy button buys that
// item, the basket button all of the basket after a confirmation with prices and a total. The
// member's new balance goes to the main frame with UM_SET_SHOP_POINTS.
#include "ItemGridWnd.h"
#include "ItemShopSkin.h"

#include <AvatarViewWnd.h>
#include <SkinDialog.h>
#include <SkinListCtrl.h>
#include <TabButton.h>
#include <YondaCommRecords.h>

#include <vector>

class CItemCatalog;
class CNotifyDlg;

class CItemShopDlg : public CSkinDialog {
public:
    static constexpr UINT kTemplate = 134;
    static constexpr UINT kCommandBuyBasket = 5301;
    static constexpr UINT kSetPoints = 0x910; // UM_SET_SHOP_POINTS: wParam the points, lParam the dialog
    static constexpr int kMyItemCell = 46;

    CItemShopDlg(CSkinElement* element, CItemCatalog* catalog, CWnd* parent);
    ~CItemShopDlg() override;

    // The purchase record of a catalogue item.
    static void MakeRecord(const ITEM_RECORD& item, EX_YONDA_BODY_Q_MYITEM_ADD* record);
    // The catalogue item a purchase record names, or null.
    ITEM_RECORD* FindRecordItem(const EX_YONDA_BODY_Q_MYITEM_ADD& record) const;

    // Tab t of either row: the category shown (0 for the first tab, t + 1 after it).
    void ChangeCategory(int tab);
    void FillMyItems();
    // A store item clicked: selected, into the basket, tried on.
    void OnItemClicked(UINT id, ITEM_RECORD* item);
    void AddToBasket(ITEM_RECORD* item);
    void EmptyBasket();
    // TRUE when the item was bought.
    BOOL BuyItem(ITEM_RECORD* item);
    // TRUE when every item of the basket was bought; the bought ones leave the basket.
    BOOL BuyBasket();
    // Asks the service for the member's points and tells the frame.
    void QueryPoints();

    CItemShopSkin* ShopSkin() const { return static_cast<CItemShopSkin*>(m_pSkin); }

    CItemCatalog* m_pCatalog = nullptr;
    int m_nGender = 1;
    int m_nCategory = 0;
    int m_nSelection[ITEM_CATEGORY_COUNT];
    std::vector<EX_YONDA_BODY_Q_MYITEM_ADD> m_basket;
    // The basket's prices summed wide: no number of dear items wraps it below the points.
    long long m_llBasketTotal = 0;
    long m_lPoints = 0;
    CTabButton m_tabStore;
    CTabButton m_tabMyItem;
    CSkinListCtrl m_listMyItem;
    CItemGridWnd m_wndGrid;
    CSoundButton m_btnBasket;
    CAvatarViewWnd m_wndAvatar;

protected:
    int OnCreate(LPCREATESTRUCT cs) override;
    BOOL OnInitDialog() override;
    void OnPaint() override;
    void OnDestroy() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnSkinOk() override;
    void OnSkinCancel() override;

    // Every box of the shop runs here (modally): IDOK or IDCANCEL.
    virtual INT_PTR RunBox(CNotifyDlg& box);

private:
    BOOL CreateControls();
    void ShowText(const CString& text);
    void ReportPoints();
    BOOL IsConnected() const;
    void AddOwnedRows(int category);
    void OnMyItemClicked(int index);
    // Marks a bought item as the member's, not worn.
    void MarkOwned(ITEM_RECORD* item);

    // A purchase is running: another one asked meanwhile (a second press) is not started.
    BOOL m_bBuying = FALSE;
};
