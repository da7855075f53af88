// The platform's main header: kernel, GDI, window manager and the helpers that come with them.
// Each part joins once it exists in the tree.
#pragma once

#include "windef.h"

#if __has_include("winbase.h")
#include "winbase.h"
#endif
#if __has_include("winnls.h")
#include "winnls.h"
#endif
#if __has_include("wingdi.h")
#include "wingdi.h"
#endif
#if __has_include("winuser.h")
#include "winuser.h"
#endif
#if __has_include("shellapi.h")
#include "shellapi.h"
#endif
