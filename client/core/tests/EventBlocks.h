// Session events made the way the network library hands them over: a block (or a list of
// blocks) allocated for the receiver, which frees it after handling.
#pragma once

#include "SessionRecords.h"

#include <afxcoll.h>

#include <cstring>
#include <vector>

namespace eventblocks {

inline LPARAM Block(const std::vector<BYTE>& bytes)
{
    BYTE* block = new BYTE[bytes.size()];
    std::memcpy(block, bytes.data(), bytes.size());
    return reinterpret_cast<LPARAM>(block);
}

// A block of `size` zero bytes that starts with the user number.
inline std::vector<BYTE> Bytes(size_t size, long user = 0)
{
    std::vector<BYTE> bytes(size, 0);
    const int32_t value = static_cast<int32_t>(user);
    std::memcpy(bytes.data(), &value, 4);
    return bytes;
}

template <typename T>
void Put(std::vector<BYTE>& bytes, size_t offset, T value)
{
    std::memcpy(bytes.data() + offset, &value, sizeof(value));
}

// 135: a member enters the place (lobby, room), dressed in one hair item.
inline LPARAM EntryEvent(short lobby, short room, long user, const char* nickname, char gender = 'F')
{
    std::vector<BYTE> head(72, '0');
    Put(head, 0, lobby);
    Put(head, 2, room);
    std::memset(head.data() + 4, 0, 8);
    Put(head, 8, static_cast<int32_t>(user));
    std::memset(head.data() + 12, 0, 54);
    std::strcpy(reinterpret_cast<char*>(head.data() + 34), nickname);
    head[66] = static_cast<BYTE>(gender);
    auto* list = new CPtrList;
    list->AddTail(reinterpret_cast<void*>(Block(head)));
    list->AddTail(reinterpret_cast<void*>(Block({'2', '0', '0', '1', 0, '0', 0, 0})));
    return reinterpret_cast<LPARAM>(list);
}

// 141: a member's avatar as it answers the own entry: standing at (x, y, z).
// 141: a member's avatar as its program tells it: the ground place it stands on, and a position
// block that its program may not have kept up to date.
inline LPARAM AvatarAnswerEvent(long user, const char* nickname, char gender, float groundX, float groundZ,
                                const float position[3])
{
    std::vector<BYTE> head(84, 0);
    Put(head, 0, static_cast<int32_t>(user));
    std::strcpy(reinterpret_cast<char*>(head.data() + 25), nickname);
    head[56] = static_cast<BYTE>(gender);
    head[57] = head[58] = head[59] = '0';
    Put(head, 60, groundX);
    Put(head, 64, groundZ);
    Put(head, 69, position[0]);
    Put(head, 73, position[1]);
    Put(head, 77, position[2]);
    head[82] = head[83] = '0';
    auto* list = new CPtrList;
    list->AddTail(reinterpret_cast<void*>(Block(head)));
    return reinterpret_cast<LPARAM>(list);
}

inline LPARAM AvatarInfoEvent(long user, const char* nickname, char gender, float x, float y, float z)
{
    const float position[3] = {x, y, z};
    return AvatarAnswerEvent(user, nickname, gender, x, z, position);
}

// 142: a member walks towards (x, z).
inline LPARAM MoveEvent(long user, float x, float z)
{
    std::vector<BYTE> bytes = Bytes(32, user);
    Put(bytes, 20, x);
    Put(bytes, 28, z);
    return Block(bytes);
}

// 144: a member walks to the seat of that matrix.
inline LPARAM SitEvent(long user, const float matrix[16])
{
    std::vector<BYTE> bytes = Bytes(68, user);
    std::memcpy(bytes.data() + 4, matrix, 64);
    return Block(bytes);
}

// 159: a member stands at a position, facing a direction.
inline LPARAM PlaceEvent(long user, const float values[6])
{
    std::vector<BYTE> bytes = Bytes(32, user);
    std::memcpy(bytes.data() + 8, values, 24);
    return Block(bytes);
}

} // namespace eventblocks
