// The community protocol's vocabulary: command bytes, answer statuses, field widths and limits.
// comm/PROTOCOL.md describes every message; both ends take their numbers from here.
#pragma once

#include <cstddef>
#include <cstdint>

namespace yonda::proto {

inline constexpr uint16_t kVersion = 1;
inline constexpr uint16_t kDefaultPort = 7001;

// Command bytes. A reply carries the command of its request; events have their own commands.
enum Command : uint8_t {
    Hello = 0x01,
    Probe = 0x07, // the server probe: 00 07 00 04, answered with a zero-terminated address text

    Login = 0x10,
    Logout = 0x11,
    UserInfo = 0x12,
    AvatarInfo = 0x13,
    UserLocation = 0x14,
    SendUserLocation = 0x15,
    SendMyAvatar = 0x16,
    FaceSet = 0x17,
    AvatarCreate = 0x18,
    SetOwnNickname = 0x19,
    AnnounceNickname = 0x1A,
    SetIntro = 0x1B,
    UploadImage = 0x1C,
    SearchUser = 0x1D,
    AvatarImage = 0x1E,

    Points = 0x20,
    BuyItem = 0x21,
    MyItems = 0x22,
    WearItem = 0x23,
    AnnounceItemChange = 0x24,

    RoomJoin = 0x30,
    RoomExit = 0x31,
    RoomOpen = 0x32,
    RoomInfo = 0x33,
    SetRoomHost = 0x34,
    KickUser = 0x35,
    ModifyRoom = 0x36,
    LobbyTotal = 0x37,
    LobbyRooms = 0x38,
    SearchRoom = 0x39,
    RoomUsers = 0x3A,
    ListFriends = 0x3B,

    Chat = 0x40,
    InstantMessage = 0x41,
    AddFriend = 0x42,
    DeleteFriend = 0x43,
    MoveStart = 0x44,
    MoveEnd = 0x45,
    MoveSit = 0x46,
    MoveStand = 0x47,
    GameJumpToStart = 0x48,
    GameBoard = 0x49,
    GameTime = 0x4A,
    GameRetire = 0x4B,
    GameReady = 0x4C,
    RoomTheme = 0x4D,
    RoomThemeTo = 0x4E,

    PlaceEvent = 0xE0,   // delivered to the notify window as the community event message
    MessageEvent = 0xE1, // delivered as the instant-message event message
};

enum Status : uint8_t {
    Ok = 0,
    Refused = 1,
    NotLoggedIn = 2,
    BadRequest = 3,
    NotFound = 4,
    NotHost = 5,
    Full = 6,
    WrongPassword = 7,
    TooFewPoints = 8,
    AlreadyExists = 9,
    Offline = 10,
    VersionMismatch = 11,
    TryLater = 12, // too many failed logins, logins from one address, or lines too fast: wait
};

// Field widths: bytes a fixed field holds, its terminating zero included.
inline constexpr size_t kIdWidth = 22;
inline constexpr size_t kNicknameWidth = 32;
inline constexpr size_t kLoginPasswordWidth = 64;
inline constexpr size_t kRoomNameWidth = 51;
inline constexpr size_t kRoomSubjectWidth = 31;
inline constexpr size_t kRoomPasswordWidth = 13;
inline constexpr size_t kChatWidth = 256;
inline constexpr size_t kMessageWidth = 256;
inline constexpr size_t kIntroWidth = 256;
inline constexpr size_t kAreaWidth = 11;
inline constexpr size_t kItemCodeWidth = 4; // "NNN"
inline constexpr size_t kItemKeyWidth = 17; // 16 characters
inline constexpr size_t kSearchTextWidth = 51;
inline constexpr size_t kAddressWidth = 256;

// What one place holds and how lists are paged.
inline constexpr int kLobbyCount = 5;
inline constexpr int kShopLobby = 1;
inline constexpr int kSubjectLobby = 3;
inline constexpr int kGameLobby = 4;
inline constexpr int kLobbyAreaCapacity = 120;
inline constexpr int kRoomCapacityLimit = 15;
inline constexpr int kGameRoomCapacityLimit = 4;
inline constexpr size_t kRoomPage = 30;
inline constexpr size_t kFriendPage = 30;
inline constexpr size_t kSearchPage = 10;
inline constexpr uint32_t kImageLimit = 256 * 1024;
inline constexpr uint16_t kImageChunk = 60000;

// Party-game sub-codes carried at the start of a game event's data.
enum GameCode : uint8_t {
    GameBackground = 17,
    GameReadyCode = 18,
    GameBoardCode = 19,
    GameTimeCode = 20,
    GameRetireCode = 21,
    GameJumpCode = 22,
    GameThemeCode = 23,
};
inline constexpr size_t kBoardSize = 49;

} // namespace yonda::proto
