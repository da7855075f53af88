#pragma once
// One conversation of instant messages with one member: a small skinned popup owned by the main
// frame with the log of the conversation, the entry, and buttons to send, to see the partner's
// information, to add the partner as a friend and to go where the partner is. The frame keeps
// one per partner and feeds it what the service delivers or could not deliver.
#include "MessengerSkin.h"

#include <SkinEdit.h>
#include <SkinRichEdit.h>
#include <SkinScrollBar.h>
#include <SoundButton.h>
#include <WndSnapGroup.h>

#include <afxwin.h>

// Messenger -> frame: the room a partner stands in, to be joined (wParam (room << 16) | lobby).
#ifndef UM_ROOM_JOIN_RESULT
#define UM_ROOM_JOIN_RESULT 0x890
#endif

class CMessengerWnd : public CWnd {
public:
    enum {
        ID_CLOSE = 9999,
        ID_SEND = 5001,
        ID_USER_INFO = 5004,
        ID_GOTO_FRIEND = 5005,
        ID_ADD_FRIEND = 5006,
        ID_CLOSE2 = 5007,
    };
    // The longest message the service carries, in bytes of the active code page.
    static constexpr int kMessageLimit = 255;
    // The window's class, by which it is told apart from the other popups.
    static constexpr const char* kClassName = "VelmoraMessenger";
    // The chat colour of a partner's lines.
    static constexpr int kPartnerColourIndex = 8;

    // `text` is the first line of the log (may be null); `received` says it came from the partner.
    CMessengerWnd(long user, LPCSTR id, LPCSTR text, LPCSTR nickname, BOOL received);
    ~CMessengerWnd() override;

    // A visible popup owned by `owner`, sized and placed from the skin once created.
    BOOL Create(CWnd* owner);

    void AddReceivedMessage(LPCSTR id, LPCSTR text, LPCSTR nickname);
    void OnSendFailed(LPCSTR text);
    // Sends a line to the partner as typed (trimmed; a blank line sends nothing).
    void SendText(CString text);

    long GetUser() const { return m_lUser; }
    const CString& GetUserID() const { return m_strID; }
    const CString& GetNickname() const { return m_strNickname; }
    // The title drawn over the window: the partner's ID and, in parentheses, the nickname.
    CString GetTitleText() const;

    // A text cut to the message limit on a character boundary, without a lead byte that has lost
    // its trail byte at the end.
    static CString CleanMessage(const CString& text);
    // The chat colour table's entry (out-of-range indexes give the first).
    static COLORREF ChatColour(int index);

    CSkinEdit m_editMessage;
    CSkinRichEdit m_logMessages;
    CSkinScrollBar m_scrollLog;
    CSoundButton m_btnClose;
    CSoundButton m_btnSend;
    CSoundButton m_btnUserInfo;
    CSoundButton m_btnGotoFriend;
    CSoundButton m_btnAddFriend;
    CSoundButton m_btnClose2;
    CRect m_rcTitle;

protected:
    int OnCreate(LPCREATESTRUCT cs) override;
    void OnPaint() override;
    BOOL OnEraseBkgnd(CDC* dc) override;
    void OnDestroy() override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    void OnMouseMove(UINT flags, CPoint point) override;
    void OnSetFocus(CWnd* oldWnd) override;
    void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    BOOL LoadSkin();
    BOOL CreateChildren();
    BOOL CreateButton(CSoundButton* button, CSkinElement* element, BOOL tabStop);
    void AddLine(const CString& name, const CString& text, COLORREF colour);
    void GoToPartner();
    void PostClose();
    void PaintBands(CDC* dc);

    long m_lUser;
    CString m_strID;
    CString m_strNickname;
    CString m_strFirstText;
    BOOL m_bReceived;
    BOOL m_bClosePosted = FALSE;
    CMessengerSkin m_skin;
    CBitmap m_bmpImage;
    CBitmap m_bmpImage0;
    CRect m_rcWindow;
    CRect m_rcImage;
    CWndSnapGroup m_snap;
};
