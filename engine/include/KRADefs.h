// The engine's shared vocabulary: handles, statuses, rendering switches and the export marker.
// Kept small and free of Direct3D so the file parsers and tables can include it anywhere.
#pragma once

#include <windows.h>

// Only what carries this marker is visible outside libKravex; the build hides everything else.
#define KRAVEX_API __attribute__((visibility("default")))

// Slot index in the low 16 bits, serial in the high 16 bits; 0 is never issued.
typedef DWORD _KRA_HANDLE;

// The tag that instantiates the texture handle type of the interface.
struct tagKRADS {};

template <class TAG>
class CKRAHandle {
public:
    CKRAHandle() : m_hHandle(0) {}
    explicit CKRAHandle(_KRA_HANDLE hHandle) : m_hHandle(hHandle) {}
    _KRA_HANDLE m_hHandle;
};

typedef DWORD _KRA_RENDERING_OPTION_TYPE;
enum _KRA_ENUM_RENDERING_OPTION_TYPE {
    KRA_RENDERING_OPTION_MIPMAP = 1,         // anisotropic mip filtering of world textures
    KRA_RENDERING_OPTION_SECOND_TEXTURE = 2, // the second texture of world meshes on stage 1
};

typedef DWORD _KRA_OBJECT_FILE_CODE;

typedef void (*KRA_MESSAGE_PROC)(LONG code, LONG value, void* data);

// Engine statuses: 32-bit signed, negative means failure.
constexpr LONG KRA_OK = 0;
constexpr LONG KRA_E_MISSING_PART = LONG(0x80000000);
constexpr LONG KRA_E_ALLOCATION = LONG(0x80000002);
constexpr LONG KRA_E_INVALID_ARGUMENT = LONG(0x80000003);
constexpr LONG KRA_E_NOTHING_TO_RELEASE = LONG(0x80000004);
constexpr LONG KRA_E_INVALID_HANDLE = LONG(0x80000005);
constexpr LONG KRA_E_FAILED = LONG(0x80000007);
constexpr LONG KRA_E_AVATAR_KEYS_FULL = LONG(0x80060002);
constexpr LONG KRA_E_INVALID_AVATAR = LONG(0x80060005);

// Codes of the host's message callback.
constexpr LONG KRA_MSG_MOTION_END = 0x12001;
constexpr LONG KRA_MSG_MOVE_END = 0x12002;
constexpr LONG KRA_MSG_MOVE_ROTATE_END = 0x12003;

// What picking an event box answers: its action code (0 is a seat, whose matrix comes with it);
// the second word is not defined by the engine.
struct _KRA_ACTION_PICKING {
    LONG m_nActionCode;
    LONG m_nReserved;
};

// An avatar described in memory, as the host builds it from a member's worn items: the same
// content as an avatar list file. GetAvatarStructure fills one with an item array made by
// new KRA_AVATAR_ITEM[count]; the host frees it with delete[].
struct KRA_AVATAR_ITEM {
    DWORD dwItemKind;
    char szItemFile[32];    // zero-terminated
    BYTE bTextureOverride;  // 0 or 1
    char szTextureFile[35]; // zero-terminated, empty without an override
};
static_assert(sizeof(KRA_AVATAR_ITEM) == 72, "the host lays its avatar items out in 72 bytes");

struct KRA_AVATAR_STRUCTURE {
    DWORD dwHeader1;   // kept and handed back unchanged
    DWORD dwHeader2;   // kept and handed back unchanged
    DWORD dwAvatarKey; // avatars are shared by this key
    DWORD dwItemCount;
    KRA_AVATAR_ITEM* pItems;
};
