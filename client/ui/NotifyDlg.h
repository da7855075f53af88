#pragma once
// Every message the client shows to the user goes through one skinned modal dialog.
#include <afxwin.h>

// The string-table text E_FILE_READ with the file's name, shown in a notify box; nothing before
// the string table exists.
void ShowFileReadError(CString path);
