// The shell: opening a document, folder or address with what the desktop associates with it.
#pragma once

#include "windef.h"

// ShellExecuteA answers a value above 32 on success, else one of these.
#define SE_ERR_FNF 2
#define SE_ERR_PNF 3
#define SE_ERR_ACCESSDENIED 5
#define SE_ERR_OOM 8
#define SE_ERR_NOASSOC 31

// Starts the desktop's handler for lpFile ("open", or NULL for the same): an address such as
// "http://..." or "mailto:...", a folder or a file. The handler is not waited for.
HINSTANCE ShellExecuteA(HWND hwnd, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters, LPCSTR lpDirectory,
                        INT nShowCmd);
#define ShellExecute ShellExecuteA
