#include "AvatarCreateDlg.h"

#include <AvatarScene.h>
#include <ClientApp.h>
#include <ClientGlobals.h>
#include <ClientSession.h>
#include <ItemCatalog.h>
#include <MainFrame.h>
#include <NameChecks.h>

#include <NotifyDlg.h>
#include <ToolkitShared.h>
#include <YondaComm.h>

#include <d3dx8.h>

#include <cstring>

CAvatarCreateDlg* g_pAvatarCreateDlg = nullptr;

namespace {

constexpr UINT kNicknameEdit = 222;
constexpr int kCodeTextLimit = 5; // longer code texts are a part's colour variants
constexpr int kHandSlot = 4;
constexpr int kHairItemSlot = 5;
constexpr float kPreviewFov = 25.0f * D3DX_PI / 180.0f;

CString TableString(LPCSTR key)
{
    return g_pSession ? g_pSession->GetTableString(key) : CString(key);
}

void ShowTableBox(LPCSTR key)
{
    ShowNotifyBox(TableString(key), 0, 13);
}

// The slot of an item list category: hair 0, upper 1, lower 2, footwear 3, hand 4, hair item 5.
int SlotOfCategory(int category)
{
    return category == ITEM_HAIR ? 0 : category - 1;
}

IDirect3DDevice8* ViewDevice(D3DFORMAT* format)
{
    if (!g_pMainFrame || !g_pMainFrame->m_wndView.m_pDevice) {
        return nullptr;
    }
    *format = g_pMainFrame->m_wndView.m_d3dDevice.m_d3dpp.BackBufferFormat;
    return g_pMainFrame->m_wndView.m_pDevice;
}

} // namespace

CAvatarCreateDlg::CAvatarCreateDlg(CSkinElement* element, CItemCatalog* catalogue, LPCSTR nickname, CWnd* parent)
    : CSkinDialog(element, kTemplate, parent), m_strNickname(nickname ? nickname : ""), m_pCatalogue(catalogue)
{
    m_pSkin = new CAvatarCreateSkin;
    g_pAvatarCreateDlg = this;
}

CAvatarCreateDlg::~CAvatarCreateDlg()
{
    if (g_pAvatarCreateDlg == this) {
        g_pAvatarCreateDlg = nullptr;
    }
}

LPCSTR CAvatarCreateDlg::CheckNickname(const CString& nickname, BOOL korean, BOOL german)
{
    const int bytes = nickname.GetLength();
    if (nickname.IsEmpty() || !IsValidNickname(nickname) || FindSpace(nickname) || bytes > kNicknameLimit ||
        (korean && CountMbcsChars(nickname) > 6) || (german && (bytes < 2 || bytes > 12))) {
        return "M_NICKNAME_TO_BAD";
    }
    // A lead byte without its trail byte is no character of any name.
    int at = 0;
    while (at < bytes) {
        const int step = IsDBCSLeadByte(static_cast<BYTE>(nickname[at])) ? 2 : 1;
        if (at + step > bytes) {
            return "M_NICKNAME_TO_BAD";
        }
        at += step;
    }
    if (!IsAllowedName(nickname)) {
        return "M_NICKNAME_IS_A_MASTER";
    }
    return nullptr;
}

CString CAvatarCreateDlg::ItemCode(const ITEM_RECORD* item)
{
    CString code;
    code.Format("%03d", item ? item->nItemNumber : 0);
    return code;
}

ITEM_RECORD* CAvatarCreateDlg::GetChosen(int slot) const
{
    return slot >= 0 && slot < kWornSlotCount ? m_pChosen[slot] : nullptr;
}

void CAvatarCreateDlg::DoDataExchange(CDataExchange* dx)
{
    CSkinDialog::DoDataExchange(dx);
    DDX_Text(dx, kNicknameEdit, m_strNickname);
}

// ---- Creation -----------------------------------------------------------------------------

BOOL CAvatarCreateDlg::CreateList(CSkinListCtrl* list, const AVATAR_ICON_LIST& layout)
{
    SKINLIST_LAYOUT grid;
    grid.nMode = SKINLIST_MODE_GRID;
    grid.nColumns = layout.nColumns;
    grid.nRows = layout.nRows;
    grid.nCellWidth = (layout.rcRect.right - layout.rcRect.left) / layout.nColumns;
    grid.nCellHeight = (layout.rcRect.bottom - layout.rcRect.top) / layout.nRows;
    if (!list->Create(this, static_cast<UINT>(layout.nID), layout.rcRect, grid)) {
        return FALSE;
    }
    SKINLIST_COLUMN picture;
    picture.nWidth = grid.nCellWidth;
    SKINLIST_COLUMN data;
    data.bVisible = 0;
    return list->AddColumn(&picture) && list->AddColumn(&data);
}

int CAvatarCreateDlg::OnCreate(LPCREATESTRUCT cs)
{
    if (CSkinDialog::OnCreate(cs) == -1) {
        return -1;
    }
    ModifyStyle(0, WS_SYSMENU);
    if (CClientApp* app = ClientApp()) {
        SetWindowText(app->m_strTitle);
    }
    CAvatarCreateSkin* skin = Skin();
    CreateSkinButton(&m_btnClose, skin->Element("CloseBtn"), this, FALSE);
    CreateSkinButton(&m_btnOK, skin->Element("OKBTN"), this, TRUE);
    CreateSkinButton(&m_btnCancel, skin->Element("CANCELBTN"), this, TRUE);
    if (!CreateList(&m_listItems, skin->m_listSelAble) || !CreateList(&m_listChosen, skin->m_listEquipped)) {
        return -1;
    }
    for (int i = 0; i < kChosenRows; ++i) {
        m_listChosen.InsertItem();
    }
    if (m_tabParts.Create(this, skin->m_nTabCount, skin->m_strTabImage, true, skin->m_rcTab,
                          static_cast<UINT>(skin->m_nTabID)) != 1) {
        return -1;
    }
    return 0;
}

BOOL CAvatarCreateDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    if (g_pSession && (g_pSession->m_OwnUser.cLetter[0] == 'M' || g_pSession->m_OwnUser.cLetter[0] == 'F')) {
        m_cGender = g_pSession->m_OwnUser.cLetter[0];
    }
    m_nGender = m_cGender == 'M' ? 1 : 2;
    FillItemList(m_nCategory);
    m_listItems.ShowWindow(SW_SHOW);
    m_listChosen.ShowWindow(SW_SHOW);
    if (CWnd* edit = GetDlgItem(kNicknameEdit)) {
        if (!::IsRectEmpty(&Skin()->m_elNickEdit.rcRect)) {
            edit->MoveWindow(&Skin()->m_elNickEdit.rcRect);
        }
        edit->SendMessage(EM_LIMITTEXT, kNicknameLimit, 0);
        if (g_pGuiFont) {
            edit->SetFont(g_pGuiFont);
        }
    }
    UpdateData(FALSE);
    for (ITEM_RECORD*& chosen : m_pChosen) {
        chosen = nullptr;
    }
    LoadPreviewAvatars();
    if (!CreatePreview()) {
        ShowTableBox("E_AVATAR_VIEWER_CREATE");
        return TRUE;
    }
    m_bRunning = TRUE;
    SetTimer(kPreviewTimer, kPreviewMs, nullptr);
    return TRUE;
}

void CAvatarCreateDlg::LoadPreviewAvatars()
{
    if (!g_pAvatarScene || !g_pAvatarScene->GetScene()) {
        return;
    }
    CGlobalLock lock;
    CKRAScene* scene = g_pAvatarScene->GetScene();
    const struct {
        const char* file;
        _KRA_HANDLE* avatar;
        char gender;
        int motionType;
    } previews[2] = {{"10001.KRA", &m_hMaleAvatar, 'M', kMaleMotionType},
                     {"20001.KRA", &m_hFemaleAvatar, 'F', kFemaleMotionType}};
    for (const auto& preview : previews) {
        if (scene->LoadAvatar(preview.file, *preview.avatar) < 0) {
            *preview.avatar = 0;
            continue;
        }
        g_pAvatarScene->StartGenderMotion(preview.gender, preview.avatar);
        scene->SetMotion(*preview.avatar, 0, 0);
        scene->StartMotion(*preview.avatar);
        scene->SetMotionType(*preview.avatar, preview.motionType);
    }
}

BOOL CAvatarCreateDlg::CreatePreview()
{
    const RECT& rect = Skin()->m_rcRender;
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_DISABLED;
    if (!m_wndRender.Create(nullptr, "RenderAvatar", style, rect, this, static_cast<UINT>(Skin()->m_nRenderID))) {
        return FALSE;
    }
    D3DFORMAT format = D3DFMT_UNKNOWN;
    IDirect3DDevice8* device = ViewDevice(&format);
    if (!device) {
        return FALSE;
    }
    CGlobalLock lock;
    if (!m_swapChain.Create(m_wndRender.GetSafeHwnd(), device, format)) {
        return FALSE;
    }
    g_pMainFrame->m_wndView.AddPreviewWindow(GetSafeHwnd());
    return TRUE;
}

void CAvatarCreateDlg::OnDestroy()
{
    KillTimer(kPreviewTimer);
    m_bRunning = FALSE;
    {
        CGlobalLock lock;
        if (g_pAvatarScene && g_pAvatarScene->GetScene()) {
            for (_KRA_HANDLE* avatar : {&m_hMaleAvatar, &m_hFemaleAvatar}) {
                if (*avatar) {
                    g_pAvatarScene->GetScene()->UnloadAvatar(*avatar);
                    *avatar = 0;
                }
            }
        }
        m_swapChain.Destroy();
    }
    if (g_pMainFrame) {
        g_pMainFrame->m_wndView.RemovePreviewWindow(GetSafeHwnd());
    }
    CSkinDialog::OnDestroy();
}

// ---- The preview ---------------------------------------------------------------------------

void CAvatarCreateDlg::RenderPreview()
{
    CKRAScene* scene = g_pAvatarScene ? g_pAvatarScene->GetScene() : nullptr;
    _KRA_HANDLE* avatar = PreviewAvatar();
    if (!scene || !*avatar) {
        return;
    }
    // The render worker draws with the same device: the whole frame holds the lock, and the
    // device's transforms are given back as they were.
    CGlobalLock lock;
    if (!m_swapChain.BeginDraw()) {
        return;
    }
    IDirect3DDevice8* device = m_swapChain.m_pDevice;
    D3DXMATRIX saved[3];
    const D3DTRANSFORMSTATETYPE kinds[3] = {D3DTS_PROJECTION, D3DTS_VIEW, D3DTS_WORLD};
    for (int i = 0; i < 3; ++i) {
        device->GetTransform(kinds[i], &saved[i]);
    }
    CRect client;
    m_wndRender.GetClientRect(&client);
    D3DXMATRIX projection, identity, rotation, translation, world;
    const float aspect = client.Height() > 0 ? static_cast<float>(client.Width()) / client.Height() : 1.0f;
    D3DXMatrixPerspectiveFovLH(&projection, kPreviewFov, aspect, 1.0f, 10000.0f);
    D3DXMatrixIdentity(&identity);
    device->SetTransform(D3DTS_PROJECTION, &projection);
    device->SetTransform(D3DTS_VIEW, &identity);
    device->SetTransform(D3DTS_WORLD, &identity);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFFFFFFFF, 1.0f, 0);
    device->BeginScene();
    D3DXMatrixRotationY(&rotation, m_fAngle);
    D3DXMatrixTranslation(&translation, 0.0f, -25.0f, 130.0f);
    D3DXMatrixMultiply(&world, &rotation, &translation);
    scene->RenderLocalAvatar(*avatar, 0, world);
    device->EndScene();
    m_swapChain.Present();
    m_swapChain.EndDraw();
    for (int i = 0; i < 3; ++i) {
        device->SetTransform(kinds[i], &saved[i]);
    }
}

void CAvatarCreateDlg::OnTimer(UINT_PTR id)
{
    if (id == kPreviewTimer && m_bRunning && m_swapChain.m_pDevice) {
        RenderPreview();
    }
    CSkinDialog::OnTimer(id);
}

void CAvatarCreateDlg::OnMouseMove(UINT flags, CPoint point)
{
    if ((flags & MK_LBUTTON) && m_nLastX != 0) {
        m_fAngle += static_cast<float>(m_nLastX - point.x) * kRadiansPerPixel;
    }
    m_nLastX = point.x;
    CSkinDialog::OnMouseMove(flags, point);
}

// ---- Lists --------------------------------------------------------------------------------

void CAvatarCreateDlg::AddItemRow(CSkinListCtrl* list, int row, ITEM_RECORD* item)
{
    HBITMAP picture = nullptr;
    int x = 0;
    int y = 0;
    const int index = item ? static_cast<int>(item - m_pCatalogue->GetItem(item->byGender, item->byCategory, 0, nullptr,
                                                                           nullptr, nullptr))
                           : -1;
    if (!item || !m_pCatalogue->GetItem(item->byGender, item->byCategory, index, &picture, &x, &y)) {
        list->ClearCell(row, 0);
        list->ClearCell(row, 1);
        return;
    }
    SKINLIST_PICTURE cell;
    cell.hBitmap = picture;
    cell.nSourceX = x;
    cell.nSourceY = y;
    cell.nSourceWidth = cell.nWidth = kItemCellSize;
    cell.nSourceHeight = cell.nHeight = kItemCellSize;
    list->SetImageCell(row, 0, &cell);
    list->SetDataCell(row, 1, item, 0);
}

void CAvatarCreateDlg::FillItemList(int category)
{
    m_listItems.DeleteAllItems();
    m_pHoverItem = nullptr;
    if (m_pCatalogue) {
        for (int c : {category, category == ITEM_HAND ? static_cast<int>(ITEM_HAIR_ITEM) : -1}) {
            const int count = c < 0 ? 0 : m_pCatalogue->GetItemCount(m_nGender, c);
            for (int i = 0; i < count; ++i) {
                ITEM_RECORD* item = m_pCatalogue->GetItem(m_nGender, c, i, nullptr, nullptr, nullptr);
                if (item && std::strlen(item->szTexture) <= kCodeTextLimit) {
                    AddItemRow(&m_listItems, m_listItems.InsertItem(), item);
                }
            }
        }
    }
    m_listItems.Invalidate(FALSE);
}

void CAvatarCreateDlg::SelectCategory(int tab)
{
    m_nCategory = tab == 0 ? 0 : tab + 1;
    if (m_tabParts.GetSafeHwnd() && m_tabParts.GetCurSel() != tab) {
        m_tabParts.SetCurSel(tab);
    }
    FillItemList(m_nCategory);
}

void CAvatarCreateDlg::SetChosenRow(int slot, ITEM_RECORD* item)
{
    m_pChosen[slot] = item;
    AddItemRow(&m_listChosen, slot, item);
}

void CAvatarCreateDlg::ChooseItem(int row)
{
    auto* item = static_cast<ITEM_RECORD*>(m_listItems.GetItemData(row, 1));
    if (!item || !g_pAvatarScene) {
        return;
    }
    const int category = item->byCategory;
    const int slot = SlotOfCategory(category);
    _KRA_HANDLE* avatar = PreviewAvatar();
    CGlobalLock lock;
    g_pAvatarScene->PutOnItem(avatar, static_cast<char>(m_nGender), category, item->nItemNumber, item->szTexture);
    if (category == ITEM_HAIR) {
        g_pAvatarScene->PutOnItem(avatar, static_cast<char>(m_nGender), ITEM_FACE, item->nItemNumber, "0\n");
    } else if (category == ITEM_HAND) {
        g_pAvatarScene->ChangeItem(avatar, static_cast<char>(m_nGender), ITEM_HAIR_ITEM);
        SetChosenRow(kHairItemSlot, nullptr);
    } else if (category == ITEM_HAIR_ITEM) {
        g_pAvatarScene->ChangeItem(avatar, static_cast<char>(m_nGender), ITEM_HAND);
        SetChosenRow(kHandSlot, nullptr);
    }
    SetChosenRow(slot, item);
    m_listChosen.SetScrollPos(slot / Skin()->m_listEquipped.nColumns);
    m_listChosen.Invalidate(FALSE);
}

void CAvatarCreateDlg::TakeOff(int row)
{
    ITEM_RECORD* item = GetChosen(row);
    if (!item || !g_pAvatarScene) {
        return;
    }
    _KRA_HANDLE* avatar = PreviewAvatar();
    CGlobalLock lock;
    SetChosenRow(row, nullptr);
    g_pAvatarScene->ChangeItem(avatar, static_cast<char>(m_nGender), item->byCategory);
    if (item->byCategory == ITEM_HAIR) {
        g_pAvatarScene->ChangeItem(avatar, static_cast<char>(m_nGender), ITEM_FACE);
    }
    m_listChosen.Invalidate(FALSE);
}

void CAvatarCreateDlg::OnHover(CSkinListCtrl* list, int row)
{
    const BOOL items = list == &m_listItems;
    auto* item = static_cast<ITEM_RECORD*>(list->GetItemData(row, 1));
    ITEM_RECORD*& hovered = items ? m_pHoverItem : m_pHoverChosen;
    if (hovered == item) {
        return;
    }
    hovered = item;
    InvalidateRect(&(items ? Skin()->m_listSelAble : Skin()->m_listEquipped).rcExplain, FALSE);
}

LRESULT CAvatarCreateDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case UM_TAB_SELECT: SelectCategory(static_cast<int>(wParam)); return 0;
    case UM_LIST_HOVER: OnHover(reinterpret_cast<CSkinListCtrl*>(lParam), static_cast<int>(wParam)); return 0;
    case UM_LIST_CLICK:
        if (static_cast<int>(wParam) >= 0) {
            if (reinterpret_cast<CSkinListCtrl*>(lParam) == &m_listItems) {
                ChooseItem(static_cast<int>(wParam));
            } else if (reinterpret_cast<CSkinListCtrl*>(lParam) == &m_listChosen) {
                TakeOff(static_cast<int>(wParam));
            }
        }
        return 0;
    case CD3DViewer::kDeviceLost:
        m_bRunning = FALSE;
        {
            CGlobalLock lock;
            m_swapChain.Release();
        }
        return 0;
    case CD3DViewer::kDeviceRestored: {
        CGlobalLock lock;
        m_bRunning = m_swapChain.CreateSwapChain();
        return 0;
    }
    default: return CSkinDialog::WindowProc(message, wParam, lParam);
    }
}

// ---- Painting -----------------------------------------------------------------------------

void CAvatarCreateDlg::PaintExplanation(CDC* dc, const AVATAR_ICON_LIST& layout, const ITEM_RECORD* item)
{
    dc->FillSolidRect(&layout.rcExplain, layout.crExplainBack);
    if (!item) {
        return;
    }
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(layout.crExplainText);
    dc->TextOut(layout.ptExplainText.x, layout.ptExplainText.y, item->szName);
}

void CAvatarCreateDlg::OnPaint()
{
    CPaintDC dc(this);
    CFont* old = g_pGuiFont ? dc.SelectObject(g_pGuiFont) : nullptr;
    PaintExplanation(&dc, Skin()->m_listSelAble, m_pHoverItem);
    PaintExplanation(&dc, Skin()->m_listEquipped, m_pHoverChosen);
    if (old) {
        dc.SelectObject(old);
    }
}

// ---- OK and cancel ------------------------------------------------------------------------

BOOL CAvatarCreateDlg::CheckChosenParts()
{
    // Every missing part is named, in the order of the slots, before the dialog stops.
    static const char* const kMissing[4] = {"M_AVATAR_SELECT_HEAD", "M_AVATAR_SELECT_BODY", "M_AVATAR_SELECT_PANTS",
                                            "M_AVATAR_SELECT_SHOES"};
    BOOL complete = TRUE;
    for (int slot = 0; slot < 4; ++slot) {
        if (!m_pChosen[slot]) {
            ShowTableBox(kMissing[slot]);
            complete = FALSE;
        }
    }
    if (!m_pChosen[kHandSlot] && !m_pChosen[kHairItemSlot]) {
        ShowTableBox("M_AVATAR_SELECT_ITEM");
        complete = FALSE;
    }
    return complete;
}

BOOL CAvatarCreateDlg::CreateOnService()
{
    CYondaComm* comm = g_pSession ? g_pSession->GetComm() : nullptr;
    if (!comm) {
        return FALSE;
    }
    if (!m_bAvatarMade) {
        const char gender = m_nGender == 1 ? 'M' : 'F';
        m_bAvatarMade = comm->QueryAvataCreate(gender, '0', '0', ItemCode(m_pChosen[0]), "000", ItemCode(m_pChosen[1]),
                                               ItemCode(m_pChosen[2]), ItemCode(m_pChosen[3]),
                                               ItemCode(m_pChosen[kHandSlot]), ItemCode(m_pChosen[kHairItemSlot]));
        if (!m_bAvatarMade) {
            // Made already (by this member's other start): the avatar stands, the nickname is
            // all that is left.
            CPtrList list;
            m_bAvatarMade = comm->QueryAvataInfo(g_pSession->m_OwnUser.lUser, list) && !list.IsEmpty();
            comm->Release(&list);
        }
        if (!m_bAvatarMade) {
            ShowNotifyBox(TableString("M_CREATE_AVATAR") + TableString("E_NETWORK_FAIL"), 0, 13);
            return FALSE;
        }
    }
    if (comm->IsConnected()) {
        char nickname[kNicknameLimit + 1] = {};
        CopyField(nickname, m_strNickname, static_cast<size_t>(m_strNickname.GetLength()));
        if (comm->QueryUserModNickName(nickname)) {
            return TRUE;
        }
    }
    ShowNotifyBox(TableString("M_MODIFY_USER_NICKNAME") + TableString("E_NETWORK_FAIL"), 0, 13);
    return FALSE;
}

void CAvatarCreateDlg::OnSkinOk()
{
    if (!g_pSession) {
        return;
    }
    UpdateData(TRUE);
    TrimString(m_strNickname);
    CClientApp* app = ClientApp();
    if (LPCSTR refusal = CheckNickname(m_strNickname, app && app->m_bKoreanSkin, g_bGermanText)) {
        ShowTableBox(refusal);
        return;
    }
    if (!CheckChosenParts()) {
        return;
    }
    CNotifyDlg confirm(CString("AvatarSaveDlg"), this);
    if (confirm.DoModal() != IDOK) {
        return;
    }
    if (!CreateOnService()) {
        return;
    }
    m_bCreated = TRUE;
    g_pSession->m_OwnUser.bHasAvatar = 1;
    CopyField(g_pSession->m_OwnUser.szNickname, m_strNickname, static_cast<size_t>(m_strNickname.GetLength()));
    EndDialog(IDOK);
}

void CAvatarCreateDlg::OnSkinCancel()
{
    CNotifyDlg confirm(CString("AvatarSaveCancel"), this);
    if (confirm.DoModal() == IDOK) {
        EndDialog(IDCANCEL);
    }
}
