#pragma once
// What a user search asks the service, made from the search window's choices: the keyword as an
// ID or a nickname, the sex, the age band and the area. And the row a member of the answer
// becomes, its area shown by the area selector's own text.
#include "ListRows.h"

#include <YondaCommRecords.h>

#include <afxwin.h>

// The key buttons' command ids.
enum UserSearchKey {
    SEARCH_BY_NAME = 3117, // the member's ID
    SEARCH_BY_NICK = 3118,
};

struct USER_SEARCH_QUERY {
    char szByName[22] = {};
    char szByNick[32] = {};
    char cSex = 0;
    char szArea[4] = {};
    BYTE byAgeFrom = 0;
    BYTE byAgeTo = 0;
};

// The selectors' values are their chosen items' tags; the area goes as it stands ("-1" is any
// area to the service), cut to three characters.
USER_SEARCH_QUERY BuildUserSearchQuery(LPCSTR keyword, int keyButton, LPCSTR sex, LPCSTR age, LPCSTR area);

// A found member as a row: texts cut to their fields, the nickname's German letters decoded,
// `areaText` the area's display text (the hidden word when the code has none).
SEARCH_ROW SearchRowFromElement(const YONDA_SEARCH_USER_ELEMENT& element, const CString& areaText);

// The word shown for an area without a text: German or Korean by the skin's language.
CString HiddenAreaText();
