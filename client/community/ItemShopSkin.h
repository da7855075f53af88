#pragma once
// The item shop's layout: the dialog skin's common buttons, the store grid with its cell
// picture, the avatar preview's place, the cells' buy button, the basket button, the own-item
// list and the two rows of category tabs.
#include <DialogSkin.h>

// A row of tabs as the layout gives it.
struct ITEM_SHOP_TABS {
    int nID = 0;
    RECT rcRect{0, 0, 0, 0};
    int nTabCount = 0;
    CString strImage; // <skin folder>\<IMAGE>
};

class CItemShopSkin : public CDialogSkin {
public:
    enum { LIST_STORE_ITEM, AVATAR_WND, BTN_STORE_ITEM_BUY, BTN_BUY_BASKET, ELEMENT_COUNT };
    static const char* const kSections[ELEMENT_COUNT];

    CItemShopSkin() = default;
    ~CItemShopSkin() override { CItemShopSkin::FreeSkin(); }

    void FreeSkin() override;
    int LoadElements() override;

    CSkinElement m_elShop[ELEMENT_COUNT];
    CString m_strItemBaseImage; // LIST_STORE_ITEM's ITEM_BASE_IMAGE: a file of the skin folder
    int m_nMyItemId = 0;
    RECT m_rcMyItem{0, 0, 0, 0};
    int m_nMyItemColumns = 1;
    int m_nMyItemRows = 1;
    ITEM_SHOP_TABS m_storeTab;
    ITEM_SHOP_TABS m_myItemTab;

private:
    void LoadTabs(const char* section, ITEM_SHOP_TABS* tabs);
};
