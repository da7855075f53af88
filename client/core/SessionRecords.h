#pragma once
// The session's records of the own member and of every member present in the current place,
// the codes of the session's commands, requests and answers, and the location states.
#include <afxwin.h>

#include <vector>

// Messages windows post to the main frame to ask the session for work.
#define UM_SESSION_COMMAND 0x480 // low word of wParam: command 100-115; high word: a lobby; lParam: a value
#define UM_SESSION_REQUEST 0x490 // low word of wParam: request 200-220; high word: a parameter; lParam
// Messages the session sends the main frame.
#define UM_ROOM_USER_JOIN 0x860 // wParam: user; lParam: a heap copy of the nickname (the frame frees it)
#define UM_ROOM_USER_EXIT 0x870 // wParam: user; lParam: the nickname (sent, valid during the call)
#define UM_ROOM_JOINED 0x880    // wParam: (room << 16) | lobby

// Answers of commands and requests.
constexpr int kCommandDone = 0xA001;
constexpr int kCommandFailed = 0xA002;
constexpr int kNoSuchCode = 0xE001;
constexpr int kRequestAccepted = 0xC0001;
constexpr int kRequestRefused = 0xC0002;
constexpr int kRequestNoConnection = 0xE000;

enum SessionCommand {
    CMD_LOGIN_DONE = 100,
    CMD_VIEW_READY = 101,
    CMD_SELECT_LOBBY = 102,
    CMD_MAP_PATH_A = 103,
    CMD_MAP_PATH_B = 104,
    CMD_ROOM_OPEN = 105,
    CMD_ENTER_MINIMAP = 106,
    CMD_ENTER_LOBBY = 107,
    CMD_ENTER_ROOM = 108,
    CMD_MOVE_TO_ROOM = 109,
    CMD_MOVE_TO_LOBBY = 110,
    CMD_MOVE_TO_ROOM_2 = 111,
    CMD_RETURN_TO_LOBBY = 112,
    CMD_EXIT_TO_MINIMAP = 113, // 114 does the same
    CMD_QUIT_SCENE = 115,
};

enum SessionRequest {
    REQ_MY_AVATAR_INFO = 200,
    REQ_MY_USER_INFO = 201,
    REQ_SEND_MY_AVATAR = 202,
    REQ_USER_LOCATION = 203,
    REQ_ROOM_INFO = 204,
    REQ_CURRENT_ROOM_INFO = 205,
    REQ_ADD_FRIEND = 206,
    REQ_DELETE_FRIEND = 207,
    REQ_CHAT_SEND = 208,
    REQ_INSTANT_MESSAGE = 209,
    REQ_MOVE_START = 210,
    REQ_MOVE_END = 211,
    REQ_MOVE_ROTATE = 212,
    REQ_MOVE_SITUP = 213,
    REQ_JUMP_TO_LANDING = 214,
    REQ_PFGAME_DATA = 215,
    REQ_PFGAME_TIME = 216,
    REQ_PFGAME_UNUSED = 217,
    REQ_PFGAME_RETIRE = 218,
    REQ_PFGAME_READY = 219,
    REQ_FACE_SET = 220,
};

enum SessionLocation {
    LOC_NONE = 0,
    LOC_MINIMAP = 10,
    LOC_LOBBY_SELECTED = 11,
    LOC_LOBBY = 12,
    LOC_ROOM_HOST = 13,
    LOC_ROOM = 14,
};

// Events of the place (low byte of UM_COMM_EVENT's wParam).
enum SessionEvent {
    EV_ROOM_NAME_CHANGED = 128,
    EV_ROOM_SUBJECT_CHANGED = 129,
    EV_ROOM_MAXUSER_CHANGED = 130,
    EV_ROOM_PASSWORD_CHANGED = 132,
    EV_ROOM_HOST_CHANGED = 133,
    EV_USER_KICKED = 134,
    EV_USER_ENTERED = 135,
    EV_USER_LEFT = 136,
    EV_CHAT_MESSAGE = 137,
    EV_CHAT_MESSAGE_2 = 138,
    EV_USER_AVATAR_INFO = 141,
    EV_AVATAR_MOVE = 142,
    EV_AVATAR_SIT_DOWN = 144,
    EV_AVATAR_STAND_UP = 145,
    EV_USER_ITEM_CHANGE = 146,
    EV_PFGAME_DATA = 147,
    EV_PFGAME_DATA_2 = 148,
    EV_USER_FACE_SET = 149,
    EV_USER_NICKNAME_CHANGED = 150,
    EV_USER_PLACE = 159,
};

// One worn item as the library carries it: eight bytes, read by the avatar scene as the text
// "CNNN" (category digit and number) and a texture digit.
struct WORN_ITEM {
    DWORD dwValue[2] = {0, 0};
};

// The own member's profile (the login fills the number, the ID and the flag; request 201 the rest).
struct OWN_USER_INFO {
    long lUser = 0;
    char szID[22] = {};
    char szNickname[32] = {};
    char cLetter[2] = {};
    char szText[6][256] = {}; // area, job, hobby, telephone, e-mail, introduction
    int bHasAvatar = 0;
};

// A member standing in the current place: the own avatar (request 200) and every other member
// (events 135 and 141) share this record.
struct OWN_AVATAR_INFO {
    long lUser = 0;
    char szID[22] = {};
    char szNickname[32] = {};
    char cLetter[4] = {'M', '0', '0', '0'}; // gender, face, two more
    float fGroundX = 0;
    float fGroundZ = 0;
    BYTE byState = 0;
    float fPosition[3] = {0, 0, 0};
    char cLetter5 = '0';
    char cLetter6 = '0';
    int nWornCount = 0;
    std::vector<WORN_ITEM> wornItems;
};

// Copies a text into a fixed field: never more than the field holds, always terminated, and
// never cut inside a double-byte character of the active code page.
void CopyField(char* field, size_t fieldSize, const char* text, size_t textSize);
template <size_t N>
void CopyField(char (&field)[N], const char* text, size_t textSize)
{
    CopyField(field, N, text, textSize);
}
