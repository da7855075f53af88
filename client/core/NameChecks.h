#pragma once
// Checks of the names a member gives the avatar (profile and avatar creation windows). Texts are
// in the active code page.
#include <afxwin.h>

// True when the trimmed text is not empty.
bool IsValidNickname(const char* text);
// Trims blanks at both ends.
void TrimString(CString& text);
// True when the text holds a blank.
bool FindSpace(const char* text);
// Characters of a double-byte text: a byte of 0x80 or above starts a two-byte character.
int CountMbcsChars(const CString& text);
// False for the names reserved for the service's staff and the service itself.
bool IsAllowedName(const char* text);
