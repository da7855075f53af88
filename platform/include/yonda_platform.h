// What the platform layer adds to the platform's own interface: host paths, code-page text for
// drawing and input, and the hooks that let tests and the window system take over message
// boxes, debugger output and the clock.
#pragma once

#include "windef.h"

#include <cstdio>
#include <string>
#include <string_view>

// ---- Paths ---------------------------------------------------------------------------------
// A Windows path ("\Data\Avatar\KRI\x.KRI", "C:\dir\x", "WORLD\\M2.KRS") or a plain host path to
// the host path: '\' becomes '/', a drive letter is dropped, each component is matched without
// regard to case against what exists (folder listings are cached and re-read when a folder
// changes), and a missing component and everything after it is kept as written. A component that
// is not UTF-8 is text in the active code page and is converted to UTF-8.
std::string YondaHostPath(LPCSTR windowsPath);
// fopen through YondaHostPath; the mode's 't' (text) is accepted and has no effect.
FILE* YondaOpenFile(LPCSTR windowsPath, LPCSTR mode);
// The folder for this user's per-session files (locks of named objects): $YONDA_RUNTIME_DIR when
// set (tests that run several program instances side by side give each its own), else
// $XDG_RUNTIME_DIR/yonda, else /tmp/yonda-<uid>; created on first use.
std::string YondaRuntimeDirectory();

// ---- Code pages ----------------------------------------------------------------------------
UINT GetACP();
// 949 (the default), 1252 or 932; other values are ignored.
void YondaSetActiveCodePage(UINT codePage);
// For drawing. codePage 0 is the active one. A byte that does not decode (a stray high byte, a
// lead byte without a valid trail) comes out as itself, U+0080..U+00FF.
std::u32string YondaDecodeText(const char* bytes, size_t length, UINT codePage);
// For input and output. Characters the code page lacks become '?'.
std::string YondaUtf8ToCodePage(std::string_view utf8, UINT codePage);
std::string YondaCodePageToUtf8(std::string_view bytes, UINT codePage);

// ---- Message boxes and debugger output -----------------------------------------------------
// A message box handler answers the button pressed (IDOK...). It runs on the thread that shows
// the box and must not block when it is a capture hook.
typedef int (*YondaMessageBoxHook)(void* context, HWND hWnd, LPCSTR text, LPCSTR caption, UINT type);
// The capture hook: when set, every box goes to it and nowhere else. nullptr removes it.
void YondaSetMessageBoxHook(YondaMessageBoxHook hook, void* context);
// The presenter: the window system's real box, used when no capture hook is set. Without either
// the box is written to stderr and answers its default button.
void YondaSetMessageBoxPresenter(YondaMessageBoxHook presenter, void* context);

typedef void (*YondaDebugOutputHook)(void* context, LPCSTR text);
void YondaSetDebugOutputHook(YondaDebugOutputHook hook, void* context);

// ---- The clock -----------------------------------------------------------------------------
// Manual mode freezes QueryPerformanceCounter, GetTickCount, timeGetTime, _ftime and the local
// time; YondaClockAdvance then moves them all forward together. Leaving manual mode continues
// from the manual time without a jump back. Sleep and waits keep real time.
void YondaClockSetManual(BOOL manual);
void YondaClockAdvance(DWORD milliseconds);
