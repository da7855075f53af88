#include "YondaComm.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "link/Link.h"
#include "protocol/Layouts.h"
#include "protocol/Protocol.h"

using namespace yonda;
using namespace yonda::proto;

namespace {

std::string textOf(const char* text)
{
    return text ? std::string(text) : std::string();
}

// The whole file, or nothing when it cannot be read or is larger than the service takes.
bool readPicture(const char* path, std::vector<uint8_t>& bytes)
{
    FILE* file = YondaOpenFile(path, "rb");
    if (!file)
        return false;
    uint8_t buffer[65536];
    size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes.insert(bytes.end(), buffer, buffer + count);
        if (bytes.size() > kImageLimit)
            break;
    }
    std::fclose(file);
    return !bytes.empty() && bytes.size() <= kImageLimit;
}

// Two 16-bit numbers, stored only when the answer holds exactly them.
bool readPair(wire::Reader& fields, short& first, short& second)
{
    short a = fields.i16(), b = fields.i16();
    if (!fields.done())
        return false;
    first = a;
    second = b;
    return true;
}

bool readBalance(wire::Reader& fields, long& points)
{
    int32_t balance = fields.i32();
    if (!fields.done())
        return false;
    points = balance;
    return true;
}

} // namespace

BOOL CYondaComm::QueryUserLocation(long user, short& lobby, short& room)
{
    return QueryFields(
        UserLocation, [&](wire::Writer& w) { w.i32(static_cast<int32_t>(user)); },
        [&](wire::Reader& fields) { return readPair(fields, lobby, room); });
}

BOOL CYondaComm::UploadAvatarImage(const char* ownId, const char* jpegPath)
{
    std::vector<uint8_t> picture;
    if (!ownId || !jpegPath || !readPicture(jpegPath, picture))
        return FALSE;
    uint32_t total = static_cast<uint32_t>(picture.size());
    for (uint32_t offset = 0; offset < total;) {
        uint16_t count = static_cast<uint16_t>(std::min<uint32_t>(kImageChunk, total - offset));
        BOOL sent = Simple(UploadImage, [&](wire::Writer& w) {
            w.text(ownId, kIdWidth).u32(total).u32(offset).u16(count).bytes(picture.data() + offset, count);
        });
        if (!sent)
            return FALSE;
        offset += count;
    }
    return TRUE;
}

BOOL CYondaComm::QueryAvatarImage(long user, const char* savePath)
{
    if (!savePath || !*savePath)
        return FALSE;
    std::vector<uint8_t> picture;
    uint32_t total = 0;
    do {
        const uint32_t offset = static_cast<uint32_t>(picture.size());
        BOOL whole = QueryFields(
            AvatarImage, [&](wire::Writer& w) { w.i32(static_cast<int32_t>(user)).u32(offset); },
            [&](wire::Reader& fields) {
                const uint32_t size = fields.u32();
                const uint16_t count = fields.u16();
                std::vector<uint8_t> piece = fields.bytes(count);
                // Every piece names the same size, and together they never pass it.
                if (!fields.done() || count == 0 || size > kImageLimit || (offset > 0 && size != total) ||
                    count > size - offset)
                    return false;
                total = size;
                picture.insert(picture.end(), piece.begin(), piece.end());
                return true;
            });
        if (!whole)
            return FALSE;
    } while (picture.size() < total);
    // Written beside the target and renamed over it, so a reader never sees half a picture.
    const std::string partial = std::string(savePath) + ".part";
    FILE* file = YondaOpenFile(partial.c_str(), "wb");
    if (!file)
        return FALSE;
    const bool written = std::fwrite(picture.data(), 1, picture.size(), file) == picture.size();
    const bool closed = std::fclose(file) == 0;
    const std::string from = YondaHostPath(partial.c_str());
    if (!written || !closed || std::rename(from.c_str(), YondaHostPath(savePath).c_str()) != 0) {
        std::remove(from.c_str());
        return FALSE;
    }
    return TRUE;
}

BOOL CYondaComm::RoomOpen(YONDA_BODY_Q_ROOM_OPEN* record, short& room, short& lobby)
{
    if (!record)
        return FALSE;
    uint8_t bytes[sizeof(YONDA_BODY_Q_ROOM_OPEN)];
    std::memcpy(bytes, record, sizeof bytes);
    terminateTexts(bytes, kRoomOpenLayout);
    return QueryFields(
        Command::RoomOpen, [&](wire::Writer& w) { w.bytes(bytes, sizeof bytes); },
        [&](wire::Reader& fields) { return readPair(fields, room, lobby); });
}

BOOL CYondaComm::QueryPointGetUserPoint(long& points)
{
    return QueryFields(
        Points, [](wire::Writer&) {}, [&](wire::Reader& fields) { return readBalance(fields, points); });
}

BOOL CYondaComm::QueryPointAddMyItem(EX_YONDA_BODY_Q_MYITEM_ADD* record, long& points)
{
    if (!record)
        return FALSE;
    uint8_t bytes[sizeof(EX_YONDA_BODY_Q_MYITEM_ADD)];
    std::memcpy(bytes, record, sizeof bytes);
    return QueryFields(
        BuyItem, [&](wire::Writer& w) { w.bytes(bytes, sizeof bytes).i32(static_cast<int32_t>(points)); },
        [&](wire::Reader& fields) { return readBalance(fields, points); });
}

BOOL CYondaComm::QueryJumpAvatart2LandingPos(long value)
{
    return Simple(GameJumpToStart, [&](wire::Writer& w) { w.i32(static_cast<int32_t>(value)); });
}

BOOL CYondaComm::QuerySendPFGameData(short lobby, short length, const BYTE* board)
{
    if (!board || length < 0 || length > static_cast<short>(kBoardSize))
        return FALSE;
    return Simple(GameBoard, [&](wire::Writer& w) {
        w.i16(lobby).u16(static_cast<uint16_t>(length)).bytes(board, static_cast<size_t>(length));
    });
}

BOOL CYondaComm::QuerySendTime(short lobby, long tenthsOfSecond)
{
    return Simple(GameTime, [&](wire::Writer& w) { w.i16(lobby).i32(static_cast<int32_t>(tenthsOfSecond)); });
}

BOOL CYondaComm::QueryBroadPFGameRetire(short lobby)
{
    return Simple(GameRetire, [&](wire::Writer& w) { w.i16(lobby); });
}

BOOL CYondaComm::QueryBroadPFGameReady(short lobby)
{
    return Simple(GameReady, [&](wire::Writer& w) { w.i16(lobby); });
}

BOOL CYondaComm::QueryChatSetThemeString(short lobby, const char* text)
{
    return Simple(RoomTheme, [&](wire::Writer& w) { w.i16(lobby).text(textOf(text), kChatWidth); });
}

BOOL CYondaComm::QueryChatSetThemeStringTo(short lobby, long user, const char* text)
{
    return Simple(RoomThemeTo, [&](wire::Writer& w) {
        w.i16(lobby).i32(static_cast<int32_t>(user)).text(textOf(text), kChatWidth);
    });
}
