#pragma once
// The dialog a member without an avatar meets right after logging in: a nickname and one part
// of each kind chosen on a turning preview of the avatar, then made on the service.
#include "AvatarCreateSkin.h"

#include <ItemRecord.h>
#include <SkinDialog.h>
#include <SkinListCtrl.h>
#include <SwapChainView.h>
#include <TabButton.h>

#include <Kravex.h>

class CItemCatalog;

class CAvatarCreateDlg : public CSkinDialog {
public:
    static constexpr UINT kTemplate = 131; // the template with the nickname edit 222
    static constexpr UINT_PTR kPreviewTimer = 1;
    static constexpr UINT kPreviewMs = 10;
    static constexpr int kNicknameLimit = 31; // bytes the service's nickname field holds
    static constexpr int kChosenRows = 7;     // the six worn slots and a spare row
    static constexpr float kRadiansPerPixel = 0.017453292f;

    CAvatarCreateDlg(CSkinElement* element, CItemCatalog* catalogue, LPCSTR nickname, CWnd* parent);
    ~CAvatarCreateDlg() override;

    // The string-table key of the box that refuses a nickname, or null when it is good.
    static LPCSTR CheckNickname(const CString& nickname, BOOL korean, BOOL german);
    // The creation query's code of an item: "%03d" of its number, "000" for none.
    static CString ItemCode(const ITEM_RECORD* item);

    virtual void Reset() { m_strNickname.Empty(); }
    BOOL WasCreated() const { return m_bCreated; }

    // Chooses an item of the item list (a row of the current category), as a click does.
    void ChooseItem(int row);
    // Takes the part of a chosen-parts row off, as a click on it does.
    void TakeOff(int row);
    void SelectCategory(int tab);
    int GetCategory() const { return m_nCategory; }
    ITEM_RECORD* GetChosen(int slot) const;

    void OnSkinOk() override;
    void OnSkinCancel() override;
    BOOL OnInitDialog() override;

    CString m_strNickname;
    CSoundButton m_btnClose2;
    CTabButton m_tabParts;
    CSkinListCtrl m_listItems;
    CSkinListCtrl m_listChosen;
    CWnd m_wndRender;
    CSwapChainView m_swapChain;
    char m_cGender = 'M';
    int m_nGender = 1;
    int m_nCategory = 0;
    _KRA_HANDLE m_hMaleAvatar = 0;
    _KRA_HANDLE m_hFemaleAvatar = 0;
    float m_fAngle = 0.0f;
    int m_nLastX = 0;
    BOOL m_bRunning = FALSE;
    BOOL m_bCreated = FALSE;
    BOOL m_bAvatarMade = FALSE; // the service has the avatar; only the nickname is left
    ITEM_RECORD* m_pHoverItem = nullptr;
    ITEM_RECORD* m_pHoverChosen = nullptr;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    int OnCreate(LPCREATESTRUCT cs) override;
    void OnPaint() override;
    void OnTimer(UINT_PTR id) override;
    void OnDestroy() override;
    void OnMouseMove(UINT flags, CPoint point) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    CAvatarCreateSkin* Skin() const { return static_cast<CAvatarCreateSkin*>(m_pSkin); }
    BOOL CreateList(CSkinListCtrl* list, const AVATAR_ICON_LIST& layout);
    void FillItemList(int category);
    void AddItemRow(CSkinListCtrl* list, int row, ITEM_RECORD* item);
    void SetChosenRow(int slot, ITEM_RECORD* item);
    void LoadPreviewAvatars();
    BOOL CreatePreview();
    void RenderPreview();
    void OnHover(CSkinListCtrl* list, int row);
    _KRA_HANDLE* PreviewAvatar() { return m_nGender == 1 ? &m_hMaleAvatar : &m_hFemaleAvatar; }
    BOOL CheckChosenParts();
    BOOL CreateOnService();
    void PaintExplanation(CDC* dc, const AVATAR_ICON_LIST& layout, const ITEM_RECORD* item);

    CItemCatalog* m_pCatalogue;
    ITEM_RECORD* m_pChosen[6] = {};
};

// The dialog while it runs, for the 3D view's device news.
extern CAvatarCreateDlg* g_pAvatarCreateDlg;
