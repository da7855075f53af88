#include "FriendList.h"

#include <algorithm>
#include <cstring>

void CFriendList::Add(const FRIEND_ROW& row)
{
    for (FRIEND_ROW& listed : m_rows) {
        if (listed.lUser == row.lUser) {
            listed = row;
            return;
        }
    }
    m_rows.push_back(row);
}

BOOL CFriendList::Remove(long user)
{
    const auto found =
        std::find_if(m_rows.begin(), m_rows.end(), [user](const FRIEND_ROW& r) { return r.lUser == user; });
    if (found == m_rows.end()) {
        return FALSE;
    }
    m_rows.erase(found);
    return TRUE;
}

const FRIEND_ROW* CFriendList::Find(long user) const
{
    for (const FRIEND_ROW& row : m_rows) {
        if (row.lUser == user) {
            return &row;
        }
    }
    return nullptr;
}

const FRIEND_ROW* CFriendList::FindByNickname(LPCSTR nickname) const
{
    if (!nickname || !*nickname) {
        return nullptr;
    }
    for (const FRIEND_ROW& row : m_rows) {
        if (strncmp(row.szNickname, nickname, sizeof(row.szNickname)) == 0) {
            return &row;
        }
    }
    return nullptr;
}

BOOL CFriendList::SetOnline(long user, char state)
{
    for (FRIEND_ROW& row : m_rows) {
        if (row.lUser == user) {
            row.cOnline = state;
            return TRUE;
        }
    }
    return FALSE;
}
