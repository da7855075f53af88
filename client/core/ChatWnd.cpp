#include "ChatWnd.h"

#include "ClientGlobals.h"
#include "TexMo.h"

#include <MainSkin.h>
#include <ToolkitShared.h>

#include <yonda_platform.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>

namespace {

constexpr DWORD kEditStyle = WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
constexpr COLORREF kFrameColour = RGB(0xC0, 0xC0, 0xC0);
constexpr char kDebugFile[] = "TexMoDebug.txt";

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

// The words of a text split at runs of spaces.
CStringArray* SplitArguments(const CString& text, CStringArray* words)
{
    int at = 0;
    const int length = text.GetLength();
    while (at < length) {
        while (at < length && text[at] == ' ') {
            ++at;
        }
        const int start = at;
        while (at < length && text[at] != ' ') {
            ++at;
        }
        if (at > start) {
            words->Add(text.Mid(start, at - start));
        }
    }
    return words;
}

} // namespace

const COLORREF CChatWnd::kChatColours[kColourCount] = {0x010000, 0x241DEE, 0x2265F1, 0x005DAC, 0x00969F,
                                                       0x00A160, 0x6A7300, 0xEFAE00, 0xBC7200, 0x92312F,
                                                       0x912C65, 0x8F2791, 0x8C00ED, 0x244B74, 0x747474};

CChatWnd::CChatWnd() : CSkinWnd(new CChatLayout) {}

COLORREF CChatWnd::ChatColour(int index)
{
    return index >= 0 && index < kColourCount ? kChatColours[index] : kChatColours[0];
}

BOOL CChatWnd::CreateChat(CWnd* parent, CSkinElement* element, CChatHost* host)
{
    m_pHost = host;
    if (!element || !CreateChild(parent, element, 0)) {
        return FALSE;
    }
    ShowWindow(SW_SHOW);
    return TRUE;
}

int CChatWnd::OnCreate(LPCREATESTRUCT cs)
{
    if (CSkinWnd::OnCreate(cs) == -1) {
        return -1;
    }
    // The settings file's number may lie outside the table.
    m_nColour = g_nTextColor >= 0 && g_nTextColor < kColourCount ? g_nTextColor : 0;
    m_crColour = ChatColour(m_nColour);
    if (!CreateChildren()) {
        return -1;
    }
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    m_motionWords.Load();
    return 0;
}

BOOL CChatWnd::CreateChildren()
{
    CChatLayout* layout = Layout();
    CSkinElement* elements = layout->m_elements;
    const CSkinElement& log = elements[CChatLayout::CHAT_LOG_LIST];
    if (!m_listLog.Create(log.rcRect, this, static_cast<UINT>(log.nID))) {
        return FALSE;
    }
    m_listLog.ShowWindow(SW_SHOW);
    const CSkinElement& edit = elements[CChatLayout::CHAT_EDIT];
    m_editChat.m_bInputLine = 1;
    m_editChat.SetTextColor(m_crColour);
    if (!m_editChat.Create(kEditStyle, edit.rcRect, this, static_cast<UINT>(edit.nID))) {
        return FALSE;
    }
    return CreateElementButton(&m_btnColour, &elements[CChatLayout::TEXT_COLOR_BTN], this) &&
           CreateElementButton(&m_btnTexmo, &elements[CChatLayout::TEXMO_BTN], this) &&
           CreateElementButton(&m_btnTheme, &elements[CChatLayout::CHAT_THEME_BTN], this);
}

void CChatWnd::OnPaint()
{
    CPaintDC dc(this);
    DrawBackground(&dc, &m_bmpBack, 3);
    CBrush frame(kFrameColour);
    CRect log(Layout()->m_elements[CChatLayout::CHAT_LOG_LIST].rcRect);
    log.InflateRect(1, 1);
    dc.FrameRect(&log, &frame);
    CRect edit(Layout()->m_elements[CChatLayout::CHAT_EDIT].rcRect);
    edit.left -= 1;
    edit.right += 1;
    edit.top -= 4;
    edit.bottom += 1;
    dc.FrameRect(&edit, &frame);
}

void CChatWnd::OnSetFocus(CWnd* oldWnd)
{
    CSkinWnd::OnSetFocus(oldWnd);
    if (m_editChat.GetSafeHwnd()) {
        m_editChat.SetFocus();
    }
}

BOOL CChatWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT id = LOWORD(wParam);
    if (id == static_cast<UINT>(Layout()->m_elements[CChatLayout::TEXT_COLOR_BTN].nID)) {
        OpenColourSelector();
        return TRUE;
    }
    if (id == static_cast<UINT>(Layout()->m_elements[CChatLayout::TEXMO_BTN].nID)) {
        OpenEmotionMenu();
        return TRUE;
    }
    if (id == static_cast<UINT>(Layout()->m_elements[CChatLayout::CHAT_THEME_BTN].nID)) {
        if (m_pHost) {
            m_pHost->OnChatCommand(CChatHost::QUESTION);
        }
        return TRUE;
    }
    return CSkinWnd::OnCommand(wParam, lParam);
}

LRESULT CChatWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case UM_COLOR_PICK: OnColourPicked(static_cast<int>(wParam)); return 0;
    case UM_EDIT_ENTER:
        if (lParam) {
            OnLineEntered(CString(reinterpret_cast<LPCSTR>(lParam)));
        }
        return 0;
    case UM_POPUP_PICK: OnEmotionPicked(LOWORD(wParam)); return 0;
    default: return CSkinWnd::WindowProc(message, wParam, lParam);
    }
}

// ---- The log ------------------------------------------------------------------------------

void CChatWnd::AddChatLine(LPCSTR speaker, LPCSTR text, int colour)
{
    if (m_listLog.GetSafeHwnd()) {
        // The text is shown as it came; it is never a format of its own.
        m_listLog.AddLine(speaker ? speaker : "", text ? text : "", ChatColour(colour), CTabbedTextList::LINE_NORMAL);
    }
}

void CChatWnd::AddPlainLine(LPCSTR text)
{
    if (m_listLog.GetSafeHwnd()) {
        m_listLog.AddLine(" ", text ? text : "", kNoticeColour, CTabbedTextList::LINE_BOLD);
    }
}

void CChatWnd::EnableInput(int state)
{
    if (m_btnTheme.GetSafeHwnd()) {
        m_btnTheme.EnableWindow(state == 13 && m_pHost && m_pHost->GetRoomType() == 3);
    }
}

// ---- Lines entered ------------------------------------------------------------------------

int CChatWnd::OwnGender() const
{
    return m_pHost && m_pHost->GetOwnGender() == 'M' ? 0 : 1;
}

void CChatWnd::OnLineEntered(const CString& line)
{
    CString text = line;
    text.Trim();
    if (text.IsEmpty() || !m_pHost) {
        return;
    }
    if (text[0] != '/') {
        const int motion = g_pTexMo ? g_pTexMo->Analyze(text, OwnGender()) : 0;
        m_pHost->SendChat(text, motion, m_nColour);
        return;
    }
    text += ' ';
    const int space = text.Find(' ');
    if (space <= 1) {
        return; // a lone "/"
    }
    CString command = text.Left(space);
    command.MakeLower();
    RunCommand(command, text.Mid(space + 1));
}

void CChatWnd::RunCommand(const CString& command, const CString& rest)
{
    if (command == "/nocheckcollision") {
        return;
    }
    if (command == "/freecamera") {
        m_pHost->OnChatCommand(CChatHost::FREE_CAMERA);
    } else if (command == "/usercount") {
        m_pHost->OnChatCommand(CChatHost::USER_COUNT);
    } else if (command == "/avatarinfodlg") {
        m_pHost->OnChatCommand(CChatHost::AVATAR_INFO);
    } else if (command == "/roommake") {
        if (CheckRoomArguments(rest)) {
            m_pHost->OnChatCommand(CChatHost::ROOM_MAKE);
        }
    } else if (command == "/texmodebug") {
        CString prefix = rest;
        prefix.TrimRight();
        WriteTexMoDebug(prefix);
    } else {
        // A slash word: its motion with the rest of the line. Without a motion for it (no
        // table, or none for the gender) the line goes with no motion.
        const int entry = m_motionWords.FindWord(command);
        const int motion = m_motionWords.PickMotion(entry, m_pHost->GetOwnGender());
        m_pHost->SendChat(rest, motion < 0 ? 0 : motion, m_nColour);
    }
}

BOOL CChatWnd::CheckRoomArguments(const CString& rest)
{
    CStringArray words;
    SplitArguments(rest, &words);
    if (words.GetSize() == 0) {
        return TRUE; // the room dialog asks for everything
    }
    const int type = std::atoi(words[0]) - 1;
    const int maximum = words.GetSize() > 1 ? std::atoi(words[1]) : 15;
    return type >= 0 && type <= 4 && (maximum & 0xFF) >= 1 && (maximum & 0xFF) <= 15;
}

void CChatWnd::WriteTexMoDebug(const CString& prefix)
{
    if (!g_pTexMo) {
        return;
    }
    FilePtr out(YondaOpenFile(kDebugFile, "a+t"));
    if (!out) {
        return;
    }
    for (const char* name : CTexMo::kDebugListNames) {
        std::fprintf(out.get(), "%s\r\n", name);
        FilePtr list(YondaOpenFile(prefix + name, "rb"));
        char line[CTexMo::kRecordBytes];
        while (list && ReadTextLine(list.get(), line, sizeof(line)) > 0) {
            char* space = std::strchr(line, ' ');
            if (!space) {
                break;
            }
            *space = '\0';
            const CString word(line);
            std::fprintf(out.get(), "%02d : M : %02d : F : %s\n", g_pTexMo->Analyze(word, 0),
                         g_pTexMo->Analyze(word, 1), line);
        }
    }
}

// ---- Colour and emotions ------------------------------------------------------------------

void CChatWnd::OpenColourSelector()
{
    if (m_wndColourSelector.GetSafeHwnd() || !m_btnColour.GetSafeHwnd()) {
        return;
    }
    const int width = Layout()->m_nTextColorSelectorWidth;
    CRect rect;
    m_btnColour.GetWindowRect(&rect);
    rect.OffsetRect(0, -static_cast<int>(width * 1.5));
    rect.right = rect.left + width;
    m_wndColourSelector.Open(rect, this, m_nColour, kChatColours, kColourCount);
}

void CChatWnd::OnColourPicked(int index)
{
    if (index < 0 || index >= kColourCount) {
        return;
    }
    m_nColour = index;
    g_nTextColor = static_cast<short>(index);
    m_crColour = ChatColour(index);
    m_editChat.SetTextColor(m_crColour);
    if (m_editChat.GetSafeHwnd()) {
        m_editChat.Invalidate(TRUE);
    }
    if (m_wndColourSelector.GetSafeHwnd()) {
        m_wndColourSelector.DestroyWindow();
    }
}

void CChatWnd::OpenEmotionMenu()
{
    if (m_wndEmotionMenu.GetSafeHwnd() || !m_btnTexmo.GetSafeHwnd()) {
        return;
    }
    CRect rect;
    m_btnTexmo.GetWindowRect(&rect);
    rect.OffsetRect(-kMenuOffsetX, -kMenuOffsetY);
    if (!m_wndEmotionMenu.Create(rect, this, Layout()->m_strTexmoMenuName, TRUE)) {
        return;
    }
    const CString menuIni = g_pMainSkin ? g_pMainSkin->m_strPopupMenuIni : CString("PopupMenu.ini");
    m_wndEmotionMenu.TrackPopup(ToolkitSkinFolder(), menuIni);
    m_wndEmotionMenu.ScrollToItem(-1);
}

void CChatWnd::OnEmotionPicked(int item)
{
    // The Korean menu leaves out entry 0, the motion of the unknown slash words.
    const int entry = item + (g_bGermanText ? 0 : 1);
    const int motion = m_motionWords.PickMotion(entry, m_pHost ? m_pHost->GetOwnGender() : 'M');
    // Nothing to play: no line at all rather than an empty one.
    if (motion > 0 && m_pHost) {
        m_pHost->SendChat("", motion, m_nColour);
    }
}
