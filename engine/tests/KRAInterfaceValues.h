// The values a host is written against, spelled out as numbers instead of taken from the engine's
// headers: a value changed in the engine fails the tests instead of following along unnoticed.
#pragma once

#include <windows.h>

namespace kratest::values {

// Statuses.
constexpr LONG kOk = 0;
constexpr LONG kMissingPart = LONG(0x80000000);
constexpr LONG kAllocation = LONG(0x80000002);
constexpr LONG kInvalidArgument = LONG(0x80000003);
constexpr LONG kNothingToRelease = LONG(0x80000004);
constexpr LONG kInvalidHandle = LONG(0x80000005);
constexpr LONG kFailed = LONG(0x80000007);
constexpr LONG kKeyListFull = LONG(0x80060002);
constexpr LONG kInvalidAvatar = LONG(0x80060005);

// Codes of the message callback.
constexpr LONG kMotionEnd = 0x12001;
constexpr LONG kMoveEnd = 0x12002;
constexpr LONG kMoveRotateEnd = 0x12003;

// World object meshes: the kind flag of a key-animated mesh, and the texture flags.
constexpr WORD kMeshAnimated = 0x2;
constexpr WORD kTexPositionKeys = 0x1;
constexpr WORD kTexRotationKeys = 0x4;
constexpr WORD kTexScaleKeys = 0x8;
constexpr WORD kTexList = 0x10;
constexpr WORD kTexColorKeyed = 0x40;
constexpr WORD kTexAlpha = 0x80;

// Avatar item kinds: the head with its face set, four skinned kinds (the second with the breast
// animation), and an item held rigidly by one bone.
constexpr DWORD kItemFace = 0x20801;
constexpr DWORD kItemBody = 0x20802;
constexpr DWORD kItemUpperBody = 0x20803;
constexpr DWORD kItemBodyB = 0x20804;
constexpr DWORD kItemBodyC = 0x20805;
constexpr DWORD kItemHeld = 0x20806;

// Rendering options.
constexpr int kOptionMipmap = 1;
constexpr int kOptionSecondTexture = 2;

} // namespace kratest::values
