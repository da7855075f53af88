#include "ChatSkin.h"

namespace {
constexpr unsigned kOrange = 0xF28C28;
constexpr unsigned kTan = 0xD9A066;
} // namespace

WindowDescription ChatWindowDescription()
{
    // In the main window's client area, under the 3D view and beside the tool bar.
    WindowDescription chat{"ChatWindow",
                           WindowKind::Frame,
                           1001,
                           "CHAT_TITLE",
                           {10, 430, 600, 162},
                           "chat_back.bmp",
                           "chat.ini",
                           {},
                           {},
                           {},
                           {},
                           {}};
    const int row = 131;
    chat.buttons = {{"TextColorBtn", "CHAT_COLOUR", 2001, {414, row, 58, 26}, kOrange},
                    {"TexmoBtn", "CHAT_EMOTION", 2002, {475, row, 58, 26}, kOrange},
                    {"ChatThemeBtn", "CHAT_THEME", 2005, {536, row, 58, 26}, kTan}};
    // The log sits below the title band; the edit's well is one pixel round its rectangle.
    chat.fields = {{"ChatLogList", 2003, {8, 32, 584, 94}}, {"ChatEdit", 2004, {8, 134, 400, 20}}};
    chat.ownLines = {"", "[ChildWnd]", "TextColorSelectorWidth = 70", "TexmoMenuName = {{CHAT_EMOTION_MENU}}"};
    return chat;
}
