#include "RoomDialog.h"

#include <ClientGlobals.h>
#include <ClientSession.h>
#include <NotifyDlg.h>
#include <SessionRecords.h>
#include <ToolkitShared.h>

#include <cstdlib>
#include <vector>

CRoomDialog::CRoomDialog(CSkinElement* element, CWnd* parent, CDialogSkin* skin)
    : CSkinDialog(element, kTemplate, parent)
{
    m_pSkin = skin ? skin : new CRoomDlgSkin;
}

BOOL CRoomDialog::PreTranslateMessage(MSG* msg)
{
    if (msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) {
        OnSkinOk();
        return TRUE;
    }
    return CSkinDialog::PreTranslateMessage(msg);
}

CString CRoomDialog::CutText(const CString& text, int limit)
{
    std::vector<char> field(static_cast<size_t>(limit) + 1, '\0');
    CopyField(field.data(), field.size(), text, static_cast<size_t>(text.GetLength()));
    return CString(field.data());
}

int CRoomDialog::SelectedNumber(const CSkinStatic& list)
{
    return std::atoi(list.GetSelectedTag());
}

BOOL CRoomDialog::CreateEdit(CEdit* edit, int element, DWORD style, int limit)
{
    const CSkinElement& skin = RoomSkin()->m_elEdits[element];
    if (!edit->Create(WS_CHILD | WS_VISIBLE | style, skin.rcRect, this, static_cast<UINT>(skin.nID))) {
        return FALSE;
    }
    if (limit > 0) {
        edit->LimitText(limit);
    }
    if (ToolkitGuiFont()) {
        edit->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(ToolkitGuiFont()), 0);
    }
    return TRUE;
}

void CRoomDialog::CreateCommonButtons()
{
    CreateSkinButton(&m_btnClose, m_pSkin->Element("CloseBtn"), this, FALSE);
    CreateSkinButton(&m_btnOK, m_pSkin->Element("OKBTN"), this, TRUE);
    CreateSkinButton(&m_btnCancel, m_pSkin->Element("CANCELBTN"), this, TRUE);
}

BOOL CRoomDialog::CreateSelector(CSkinStatic* list, LPCSTR section)
{
    RECT rect{0, 0, 0, 0};
    int id = 0;
    int first = 0;
    m_pSkin->GetRect(section, "Rect", &rect);
    m_pSkin->GetInt(section, "ID", &id);
    m_pSkin->GetInt(section, "DefaultIndex", &first);
    if (!list->Create(rect, this, static_cast<UINT>(id), section)) {
        return FALSE;
    }
    const BOOL skinned =
        list->SetSkin(m_pSkin->GetFilePath(section, "IniFile"), m_pSkin->GetFilePath(section, "Image"));
    // The item shown first is the skin's choice, not always the menu's first.
    list->SetSelection(first);
    list->ShowWindow(SW_SHOW);
    return skinned;
}

CString CRoomDialog::WindowText(const CWnd& window)
{
    CString text;
    if (window.GetSafeHwnd()) {
        window.GetWindowText(text);
    }
    return text;
}

void CRoomDialog::ShowTableMessage(LPCSTR key)
{
    ShowNotifyBox(g_pSession ? g_pSession->GetTableString(key) : CString(key), 0, 13);
}
