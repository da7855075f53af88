// The member's own items: which catalogue items the service says the member owns and wears,
// and the changes the dressing windows made, sent back to the service and to the place.
#include "ClientGlobals.h"
#include "ClientSession.h"
#include "ItemCatalog.h"
#include "SceneSink.h"

#include <NotifyDlg.h>
#include <YondaComm.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Where the service's owned-item element keeps each part.
constexpr size_t kOwnedKeyBytes = 17;
constexpr size_t kGenderAt = 18;
constexpr size_t kCategoryAt = 19;
constexpr size_t kNumberAt = 20;
constexpr size_t kNumberBytes = 4;
constexpr size_t kTextureAt = 24;
constexpr size_t kWornAt = 28;
constexpr size_t kOwnedElementSize = 29;
static_assert(sizeof(YONDA_MY_ITEM_ELEMENT) == kOwnedElementSize);

// The place changes are told only to members who can see them: in a lobby or a room. Without a
// 3D view the session's own location says where the member is.
bool InLobbyOrRoom()
{
    if (!g_pSession)
        return false;
    if (CSceneSink* view = g_pSession->GetSceneSink()) {
        const int state = view->GetViewState();
        return state == 14 || state == 15;
    }
    const int location = g_pSession->GetLocation();
    return location >= LOC_LOBBY && location <= LOC_ROOM;
}

CString TableString(LPCSTR key)
{
    return g_pSession ? g_pSession->GetTableString(key) : CString();
}

} // namespace

void CItemCatalog::ClearOwnership()
{
    std::fill(std::begin(m_pServiceWorn), std::end(m_pServiceWorn), nullptr);
    std::fill(std::begin(m_pChosenWorn), std::end(m_pChosenWorn), nullptr);
    for (auto& gender : m_Category) {
        for (Category& category : gender) {
            for (int i = 0; i < category.nCount; ++i) {
                ITEM_RECORD& record = category.pItems[i];
                record.byOwned = 0;
                record.byWorn = 0;
                record.bySavedWorn = 0;
            }
        }
    }
}

int CItemCatalog::QueryMyItems()
{
    ClearOwnership();
    if (!g_pComm || !g_pComm->IsConnected())
        return 1;
    CPtrList list;
    if (g_pComm->QueryMyItemList(list)) {
        POSITION position = list.GetHeadPosition();
        while (position)
            ApplyOwnedItem(static_cast<const BYTE*>(list.GetNext(position)), kOwnedElementSize);
    } else {
        ShowNotifyBox(TableString("M_QUERY_USER_ITEM") + TableString("E_NETWORK_FAIL"), 0, 13);
    }
    CClientSession::ClearUserList(list);
    return 1;
}

BOOL CItemCatalog::ApplyOwnedItem(const BYTE* element, size_t size)
{
    if (!element || size < kOwnedElementSize)
        return FALSE;
    const char* text = reinterpret_cast<const char*>(element);
    const char category = text[kCategoryAt];
    if (category == '0' + ITEM_FACE)
        return FALSE;
    char number[kNumberBytes + 1] = {};
    std::memcpy(number, text + kNumberAt, kNumberBytes);
    const BOOL next = text[kTextureAt] != '0';
    ITEM_RECORD* record = FindItem(text[kGenderAt], category, std::atoi(number), next);
    if (!record)
        return FALSE;
    CopyField(record->szOwnedKey, text, kOwnedKeyBytes);
    record->byOwned = 1;
    const BYTE worn = text[kWornAt] == 'Y';
    record->byWorn = worn;
    record->bySavedWorn = worn;
    const int slot = WornSlotOfCategory(record->byCategory);
    if (worn && slot >= 0)
        m_pServiceWorn[slot] = record;
    return TRUE;
}

bool CItemCatalog::HasChanges()
{
    for (auto& gender : m_Category) {
        for (Category& category : gender) {
            for (int i = 0; i < category.nCount; ++i) {
                const ITEM_RECORD& record = category.pItems[i];
                if (record.byOwned && record.byWorn != record.bySavedWorn)
                    return true;
            }
        }
    }
    return false;
}

int CItemCatalog::RequestItemChange()
{
    if (!g_pComm)
        return 0;
    char gender = 'M';
    for (int g = 0; g < 2; ++g) {
        for (Category& category : m_Category[g]) {
            for (int i = 0; i < category.nCount; ++i) {
                ITEM_RECORD& record = category.pItems[i];
                if (!record.byOwned)
                    continue;
                gender = g == 0 ? 'M' : 'F';
                if (record.byWorn == record.bySavedWorn)
                    continue;
                if (!g_pComm->QueryUserItemChange(record.szOwnedKey, record.byWorn ? 'Y' : 'N'))
                    return 0;
            }
        }
    }
    if (!InLobbyOrRoom())
        return 1;
    // The whole user number: a number past 16 bits would name another member.
    const long user = g_pSession->m_OwnUser.lUser;
    for (int slot = 0; slot < kWornSlotCount; ++slot) {
        ITEM_RECORD* chosen = m_pChosenWorn[slot];
        ITEM_RECORD* worn = m_pServiceWorn[slot];
        if (chosen == worn)
            continue;
        ITEM_RECORD* record = chosen ? chosen : worn;
        char number[16];
        std::snprintf(number, sizeof number, "%d", record->nItemNumber);
        // An item without a texture text has no variant either.
        const bool plain = record->szTexture[0] == '0' || record->szTexture[0] == '\0';
        if (!g_pComm->QuerySendUserItemChange(user, gender, record->byCategory, number, plain ? "0" : "1",
                                              chosen ? 'Y' : 'N'))
            return 0;
    }
    return 1;
}
