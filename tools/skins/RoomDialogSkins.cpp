#include "RoomDialogSkins.h"

#include <string>

namespace {

constexpr unsigned kOrange = 0xF28C28;
constexpr int kWidth = 320;
constexpr int kHeight = 300;
constexpr int kFieldLeft = 110;
constexpr int kFieldWidth = 180;
constexpr int kRowHeight = 20;
// The menus of the dialogs' selectors (data/layout/RoomDialogMenus.ini).
const char kMenus[] = "RoomDialogMenus.ini";

// The rows of a room dialog: the label at the left, the field at kFieldLeft.
int RowTop(int row)
{
    return 48 + row * 40;
}

WindowDescription RoomDialog(std::string section, std::string title, std::string stem, int height = kHeight)
{
    const int y = height - 38;
    std::vector<ButtonDescription> buttons{
        {"CloseBtn", "", 192, {kWidth - 26, 5, 20, 20}, 0xE05A28},
        {"OKBTN", "OK", 191, {kWidth / 2 - 90, y, 80, 26}, kOrange},
        {"CANCELBTN", "CANCEL", 190, {kWidth / 2 + 10, y, 80, 26}, 0xD9A066},
    };
    WindowDescription d{std::move(section),
                        WindowKind::Dialog,
                        0,
                        std::move(title),
                        {0, 0, kWidth, height},
                        stem + "_back.bmp",
                        stem + ".ini",
                        std::move(buttons),
                        {},
                        {},
                        {},
                        {}};
    return d;
}

void Row(WindowDescription& d, int row, const std::string& label)
{
    d.labels.push_back({label, 24, RowTop(row) + 2});
}

void Field(WindowDescription& d, const std::string& section, int id, int row, int width = kFieldWidth)
{
    d.fields.push_back({section, id, {kFieldLeft, RowTop(row), width, kRowHeight}});
}

// A drop-down selector: its section in the dialog's ini names its menu and the item shown first.
void Selector(std::vector<std::string>& lines, const std::string& section, int id, int row, int first)
{
    const int top = RowTop(row);
    lines.push_back("");
    lines.push_back("[" + section + "]");
    lines.push_back("ID = " + std::to_string(id));
    lines.push_back("Rect = RECT(" + std::to_string(kFieldLeft) + "," + std::to_string(top) + "," +
                    std::to_string(kFieldLeft + 120) + "," + std::to_string(top + kRowHeight) + ")");
    lines.push_back("DefaultIndex = " + std::to_string(first));
    lines.push_back("Image = combo_button.bmp");
    lines.push_back(std::string("IniFile = ") + kMenus);
}

enum { NAME_ID = 301, SUBJECT_ID = 302, COUNT_ID = 303, PASS_ID = 304, LIST_ID = 311, SUBJECT_LIST_ID = 312 };

} // namespace

std::vector<WindowDescription> RoomDialogWindows()
{
    std::vector<WindowDescription> w;

    // Making, viewing and changing a room show the same four rows; the view counts the members.
    const char* rooms[3][3] = {{"DLG_ROOM_MAKE", "ROOM_MAKE_TITLE", "room_make"},
                               {"DLG_ROOM_VIEW", "ROOM_VIEW_TITLE", "room_view"},
                               {"DLG_ROOM_EDIT", "ROOM_EDIT_TITLE", "room_edit"}};
    for (const auto& [section, title, stem] : rooms) {
        WindowDescription room = RoomDialog(section, title, stem);
        Row(room, 0, "ROOM_NAME");
        Row(room, 1, "ROOM_SUBJECT");
        Row(room, 2, "ROOM_PASSWORD");
        Row(room, 3, "ROOM_LIMIT");
        Field(room, "RoomNameEdit", NAME_ID, 0);
        Field(room, "RoomSubjectEdit", SUBJECT_ID, 1);
        Field(room, "PassEdit", PASS_ID, 2);
        if (std::string(section) == "DLG_ROOM_VIEW") {
            Field(room, "CountEdit", COUNT_ID, 3, 80);
        } else {
            Selector(room.ownLines, "ComboCountMakeRoom", LIST_ID, 3, 4);
        }
        w.push_back(room);
    }

    WindowDescription game = RoomDialog("DLG_GAME_ROOM_MAKE", "GAME_ROOM_MAKE_TITLE", "game_room_make");
    Row(game, 0, "ROOM_NAME");
    Row(game, 1, "GAME_SUBJECT");
    Row(game, 2, "ROOM_PASSWORD");
    Row(game, 3, "ROOM_LIMIT");
    Field(game, "RoomNameEdit", NAME_ID, 0);
    Field(game, "PassEdit", PASS_ID, 2);
    Selector(game.ownLines, "ComboGameRoomSubject", SUBJECT_LIST_ID, 1, 0);
    Selector(game.ownLines, "ComboCountGameRoom", LIST_ID, 3, 1);
    w.push_back(game);

    WindowDescription question = RoomDialog("DLG_PUT_QUESION", "QUESTION_TITLE", "question", 220);
    question.labels.push_back({"QUESTION_TEXT", 24, 40});
    question.fields.push_back({"QuesionEdit", 320, {24, 62, 272, 84}});
    question.buttons.push_back({"RANDOM_BTN", "QUESTION_RANDOM", 193, {196, 152, 100, 22}, kOrange});
    w.push_back(question);
    return w;
}
