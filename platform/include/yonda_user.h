// The window system's own extensions: the creation hook the MFC layer attaches its window objects
// with, and the test and display entry points (input injection, capture of a window's picture).
#pragma once

#include "windef.h"

// The desktop window: its rectangle is the screen.
#define YONDA_DESKTOP_HWND ((HWND)(uintptr_t)0x10000)

// Called on the creating thread once, right after the window exists and before its first message
// (WM_NCCREATE); the MFC layer uses it to attach a CWnd and subclass the window.
typedef void (*YondaCreateHook)(HWND hwnd, void* context);
void YondaSetCreateHook(YondaCreateHook hook, void* context);

// ---- Input as the display delivers it (screen coordinates) ----------------------------------
void YondaInjectMouseMove(int x, int y);
// button: 0 left, 1 right, 2 middle.
void YondaInjectMouseButton(int button, BOOL down, int x, int y);
void YondaInjectMouseWheel(int delta, int x, int y);
// A key by virtual key; the scan code is the keyboard's for that key.
void YondaInjectKey(UINT vk, BOOL down);
void YondaInjectKeyScan(UINT vk, UINT scanCode, BOOL extended, BOOL down);
// Typed text already in the active code page: one WM_CHAR per byte, as an ANSI window gets it.
void YondaInjectChars(const char* bytes, size_t length);
// The input method's text being composed (active code page); an empty text ends the composition.
void YondaInjectComposition(const char* bytes, size_t length);
// The same two from UTF-8 (what desktops and test scripts hold), converted to the active code
// page first; characters it lacks arrive as '?'.
void YondaInjectTextUtf8(const char* utf8);
void YondaInjectCompositionUtf8(const char* utf8);
// Moves to a point of a window's client area and clicks the left button there.
void YondaInjectClick(HWND hwnd, int x, int y);

// ---- Resources compiled into the program ------------------------------------------------------
// Registers a resource (type and name as for FindResourceA: a string or MAKEINTRESOURCE). The
// bytes are copied. A string resource is its text in the program's code page.
void YondaAddResource(LPCSTR type, LPCSTR name, const void* data, DWORD size);
void YondaAddStringResource(UINT id, LPCSTR text);

// ---- What windows show ------------------------------------------------------------------------
// The client area's pixels as 0xAARRGGBB, top row first; FALSE unless width and height match.
BOOL YondaGetWindowPixels(HWND hwnd, DWORD* pixels, int width, int height);
// One pixel of a window's client area, or CLR_INVALID outside it.
COLORREF YondaGetWindowPixel(HWND hwnd, int x, int y);
// Writes what a window shows to a PNG file.
BOOL YondaCaptureWindowToPng(HWND hwnd, LPCSTR path);
// Paints everything pending on this thread (handles sent, posted and paint messages until the
// queue is empty) so that what windows show is up to date.
void YondaFlushPainting();

// ---- Dialog templates ---------------------------------------------------------------------------
// Dialogs are described in code; positions and sizes are pixels.
typedef struct {
    LPCSTR className; // "BUTTON", "EDIT", "STATIC", a registered class...
    LPCSTR text;
    WORD id;
    DWORD style; // WS_CHILD is added
    DWORD exStyle;
    short x, y, cx, cy;
} YondaDialogItem;

typedef struct {
    DWORD style;
    DWORD exStyle;
    short x, y, cx, cy;
    LPCSTR caption;
    const YondaDialogItem* items;
    int itemCount;
} YondaDialogTemplate;

// Registers a template under a name or MAKEINTRESOURCE id; the description is copied.
void YondaAddDialogTemplate(LPCSTR name, const YondaDialogTemplate* dialog);
