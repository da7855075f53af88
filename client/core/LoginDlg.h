#pragma once
// The skinned modal dialog in which the member enters an ID and a password at start-up. Its OK
// step sends the login itself; the dialog closes only when the service accepted the login (IDOK)
// or the connection is gone (3).
#include "LoginSkin.h"

#include <SkinDialog.h>

class CLoginDlg : public CSkinDialog {
public:
    static constexpr UINT kTemplate = 130;
    static constexpr int kIdEdit = 202;
    static constexpr int kPassEdit = 203;
    static constexpr UINT kCommandRememberMe = 204;
    static constexpr UINT kCommandForgotPass = 205;
    static constexpr UINT kCommandJoin = 206;
    static constexpr int kResultDisconnected = 3;
    // The login record holds an ID of 21 bytes and its terminator.
    static constexpr int kIdLimit = 21;
    static constexpr int kPasswordLimit = 31;

    CLoginDlg(CSkinElement* element, CWnd* owner);
    ~CLoginDlg() override;

    void SetLoginInfo(LPCSTR id, LPCSTR password);
    void ClearLoginInfo();
    BOOL GetRememberMe() const { return m_bRememberMe; }
    void SetCheckButtonState(BOOL state);
    CString GetUserID() const { return m_strUserID; }
    CString GetPassword() const { return m_strPassword; }
    long GetUser() const { return m_lUser; }
    char GetFlag() const { return m_cFlag; }

    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* msg) override;
    void OnSkinOk() override;

    CString m_strUserID;
    CString m_strPassword;
    CSoundButton m_btnRememberMe;
    CSoundButton m_btnForgotPass;
    CSoundButton m_btnJoin;

protected:
    int OnCreate(LPCREATESTRUCT cs) override;
    void OnShowWindow(BOOL show, UINT status) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void DoDataExchange(CDataExchange* dx) override;

private:
    CLoginSkin* LoginSkin() const { return static_cast<CLoginSkin*>(m_pSkin); }
    CWnd* Edit(int id) { return GetDlgItem(id); }
    void EnsureEdits();
    void PlaceEdit(int id, int element);
    void FocusEdit(int id, BOOL selectAll);
    void OpenUrl(const CString& url);

    BOOL m_bRememberMe = FALSE;
    long m_lUser = 0;
    char m_cFlag = 0;
};
