#pragma once
// The chat panel under the 3D view: the log of coloured lines, the input line and three buttons
// (text colour, emotions, chat theme). A line entered is chat, sent with the motion the analyser
// picks for it, or a slash word or command. Other members' lines and the frame's notices are
// written into the log.
#include "ChatLayout.h"
#include "ColorSelectorWnd.h"
#include "MotionWordsTable.h"

#include <PopupMenuWnd.h>
#include <SkinEdit.h>
#include <SkinWnd.h>
#include <SoundButton.h>
#include <TabbedTextList.h>

// What the chat window asks of the window that holds it (the main frame).
class CChatHost {
public:
    enum Command { FREE_CAMERA, USER_COUNT, AVATAR_INFO, ROOM_MAKE, QUESTION };

    virtual ~CChatHost() = default;
    // Chat of a kind (the motion) and colour index; the kind alone plays the motion.
    virtual BOOL SendChat(LPCSTR text, int kind, int colour) = 0;
    // The own avatar's gender letter, 'M' or 'F'.
    virtual char GetOwnGender() = 0;
    // The type of the room the member stands in (the subject room is 3), -1 outside rooms.
    virtual int GetRoomType() = 0;
    virtual void OnChatCommand(Command command) = 0;
};

class CChatWnd : public CSkinWnd {
public:
    static constexpr int kColourCount = 15;
    static const COLORREF kChatColours[kColourCount];
    static constexpr COLORREF kNoticeColour = RGB(0, 0x80, 0);
    static constexpr int kMenuOffsetX = 75;
    static constexpr int kMenuOffsetY = 168;

    CChatWnd();

    // A visible child of `parent` at the element's place; FALSE when its skin or a child fails.
    BOOL CreateChat(CWnd* parent, CSkinElement* element, CChatHost* host);

    // The colour of an index of the table; an index from outside it (the network's byte) is
    // entry 0.
    static COLORREF ChatColour(int index);

    // A member's line: the name in the name column, the text in the colour of the index.
    void AddChatLine(LPCSTR speaker, LPCSTR text, int colour);
    // A notice: no name, green, bold.
    void AddPlainLine(LPCSTR text);
    // The chat theme button is for the host of a subject room (location 13, room type 3).
    void EnableInput(int state);
    void SetThemeString(LPCSTR text) { m_strTheme = text ? text : ""; }
    const CString& GetThemeString() const { return m_strTheme; }

    // A line the member entered: chat, a slash word or a command.
    void OnLineEntered(const CString& line);
    void OnColourPicked(int index);
    // An item of the emotion menu.
    void OnEmotionPicked(int item);
    void OpenColourSelector();
    void OpenEmotionMenu();

    int GetColourIndex() const { return m_nColour; }
    CTabbedTextList& Log() { return m_listLog; }
    CSkinEdit& Edit() { return m_editChat; }
    CMotionWordsTable& MotionWords() { return m_motionWords; }
    CColorSelectorWnd& ColourSelector() { return m_wndColourSelector; }
    CPopupMenuWnd& EmotionMenu() { return m_wndEmotionMenu; }
    CSoundButton& ThemeButton() { return m_btnTheme; }
    CChatLayout* Layout() const { return static_cast<CChatLayout*>(m_pSkin); }

protected:
    int OnCreate(LPCREATESTRUCT cs) override;
    void OnPaint() override;
    void OnSetFocus(CWnd* oldWnd) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    BOOL CreateChildren();
    int OwnGender() const;
    void RunCommand(const CString& command, const CString& rest);
    // "/roommake TYPE [MAX [PASSWORD [NAME [SUBJECT]]]]": FALSE when the arguments are invalid.
    static BOOL CheckRoomArguments(const CString& rest);
    void WriteTexMoDebug(const CString& prefix);

    CChatHost* m_pHost = nullptr;
    CSkinEdit m_editChat;
    CTabbedTextList m_listLog;
    CSoundButton m_btnColour;
    CSoundButton m_btnTexmo;
    CSoundButton m_btnTheme;
    CColorSelectorWnd m_wndColourSelector;
    CPopupMenuWnd m_wndEmotionMenu;
    int m_nColour = 0;
    COLORREF m_crColour = 0;
    CString m_strTheme;
    CMotionWordsTable m_motionWords;
};
