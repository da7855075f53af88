#pragma once
// The member's friends as the frame keeps them: one 60-byte row per friend in the order they
// were added. Adding and deleting a friend and the friends' online notices change it; the
// friends window shows it.
#include <afxwin.h>

#include <cstdint>
#include <vector>

#pragma pack(push, 1)
// The row request 206 fills: +0 user, +4 gender letter, +5 ID, +26 nickname, +57 'Y' online.
// The room-user list shows its members in the same rows: +57 a number, +58 the role.
struct FRIEND_ROW {
    int32_t lUser;
    char cGender; // 'M' male, anything else female
    char szID[21];
    char szNickname[31];
    char cOnline; // friends: 'Y' online; room users: a number shown with "%d"
    char cRole;   // room users: 'H' room master, 'G' guest
    char cUnused;
};
#pragma pack(pop)
static_assert(sizeof(FRIEND_ROW) == 60);

class CFriendList {
public:
    // Appends the row; a user already listed is replaced in place.
    void Add(const FRIEND_ROW& row);
    BOOL Remove(long user);
    const FRIEND_ROW* Find(long user) const;
    const FRIEND_ROW* FindByNickname(LPCSTR nickname) const;
    // The online letter of a listed friend ('Y' or 'N'); FALSE when the user is not listed.
    BOOL SetOnline(long user, char state);
    int GetCount() const { return static_cast<int>(m_rows.size()); }
    const std::vector<FRIEND_ROW>& Rows() const { return m_rows; }
    void RemoveAll() { m_rows.clear(); }

private:
    std::vector<FRIEND_ROW> m_rows;
};
