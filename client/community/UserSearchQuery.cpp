#include "UserSearchQuery.h"

#include "RoomSearchQuery.h"

#include <ClientGlobals.h>
#include <ClientSession.h>

#include <cstring>

USER_SEARCH_QUERY BuildUserSearchQuery(LPCSTR keyword, int keyButton, LPCSTR sex, LPCSTR age, LPCSTR area)
{
    USER_SEARCH_QUERY query;
    const char* text = keyword ? keyword : "";
    if (keyButton == SEARCH_BY_NAME) {
        CopyField(query.szByName, text, std::strlen(text));
    } else {
        CopyField(query.szByNick, text, std::strlen(text));
    }
    query.cSex = sex ? sex[0] : 0;
    if (area) {
        CopyField(query.szArea, area, std::strlen(area));
    }
    AgeBandOf(age, &query.byAgeFrom, &query.byAgeTo);
    return query;
}

CString HiddenAreaText()
{
    // "비공개" in code page 949.
    return g_bGermanText ? CString("verborgen") : CString("\xBA\xF1\xB0\xF8\xB0\xB3");
}

SEARCH_ROW SearchRowFromElement(const YONDA_SEARCH_USER_ELEMENT& element, const CString& areaText)
{
    SEARCH_ROW row{};
    row.lUser = element.lUser;
    CopyField(row.szNickname, element.szNickname, sizeof(element.szNickname));
    CClientSession::ConvertEntitiesInPlace(row.szNickname, sizeof(row.szNickname));
    CopyField(row.szID, element.szID, sizeof(element.szID));
    std::memcpy(row.szTwo, element.szFlags, sizeof(row.szTwo));
    const CString shown = areaText.IsEmpty() ? HiddenAreaText() : areaText;
    CopyField(row.szArea, shown, static_cast<size_t>(shown.GetLength()));
    row.cNumber = static_cast<char>(element.byAge);
    row.cGender = element.cGender;
    row.cOnline = 'Y';
    return row;
}
