#include "ItemShopSkin.h"

const char* const CItemShopSkin::kSections[ELEMENT_COUNT] = {"LIST_STORE_ITEM", "AVATAR_WND", "BTN_STORE_ITEM_BUY",
                                                             "BTN_BUY_BASKET"};

void CItemShopSkin::FreeSkin()
{
    for (CSkinElement& element : m_elShop) {
        FreeElementBitmap(&element);
    }
    CDialogSkin::FreeSkin();
}

void CItemShopSkin::LoadTabs(const char* section, ITEM_SHOP_TABS* tabs)
{
    GetInt(section, "ID", &tabs->nID);
    GetRect(section, "RECT", &tabs->rcRect);
    GetInt(section, "TABCOUNT", &tabs->nTabCount);
    tabs->strImage = GetFilePath(section, "IMAGE");
}

int CItemShopSkin::LoadElements()
{
    int result = CDialogSkin::LoadElements();
    for (int i = 0; i < ELEMENT_COUNT; ++i) {
        result &= LoadElement(kSections[i], &m_elShop[i]);
    }
    GetString("LIST_STORE_ITEM", "ITEM_BASE_IMAGE", &m_strItemBaseImage);
    GetInt("LIST_MY_ITEM", "ID", &m_nMyItemId);
    GetRect("LIST_MY_ITEM", "RECT", &m_rcMyItem);
    GetInt("LIST_MY_ITEM", "LIST_COL", &m_nMyItemColumns);
    GetInt("LIST_MY_ITEM", "LIST_ROW", &m_nMyItemRows);
    LoadTabs("STORE_TAB", &m_storeTab);
    LoadTabs("MYITEM_TAB", &m_myItemTab);
    return result;
}
