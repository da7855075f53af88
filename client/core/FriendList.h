#pragma once
// The member's friends as the frame keeps them: one 60-byte row per friend in the order they
// were added. Adding and deleting a friend and the friends' online notices change it; the
// friends window shows it.
#include <ListRows.h>

#include <afxwin.h>

#include <vector>

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
