// The automation hook: a program of the platform driven from outside by tests and by scripted
// tours, through the same input a user gives it. Nothing to call: the environment turns it on,
// and the program's own code knows nothing of it.
//
//   YONDA_AUTOMATION=FILE          runs FILE's commands, one a line (blank lines and lines whose
//                                  first non-blank character is '#' are skipped), once the program's
//                                  first top-level window exists. Answers of `windows`, `text` and
//                                  `capture` go to stdout. The first command that fails is written
//                                  to stderr ("automation: FILE:LINE: COMMAND: error WHY") and ends
//                                  the program with exit status 1. A script that ends without
//                                  `quit` leaves the program running.
//   YONDA_AUTOMATION_SOCKET=PATH   listens on the Unix socket PATH (from the first top-level window
//                                  on) for the same commands, one a line; each gets exactly one
//                                  answer line, "ok" or "ok TEXT" or "error WHY". One connection is
//                                  served at a time, then the next. A socket that another program
//                                  still listens on is left alone.
// Both may be set. Commands run on the thread that owns the window they name, from whichever
// message loop it is in (modal dialogs and message boxes included); waiting commands wait on the
// automation's own thread.
//
// Arguments are separated by blanks; an argument with blanks or quotes is written in double
// quotes, with \" and \\ inside. Texts, titles and class names are UTF-8 and are compared with
// the program's own (active code page) texts after conversion.
//
// WINDOW is one of:
//   TITLE or CLASS  a visible top-level window with that title, else with that class (class names
//                   without regard to case), topmost first; it becomes the last window found;
//   #ID             the child with that control id of the last window found, searched depth first
//                   (a visible one before a hidden one); without one, a top-level window of that
//                   title or class (dialogs' class is "#32770");
//   0xHANDLE        a window by the handle `windows` or `wait-window` answered.
//
// Commands (MS is milliseconds of real time; waits default to YONDA_AUTOMATION_WAIT_MS):
//   windows                     the visible top-level windows (not minimised), topmost first, each as
//                               `0xHANDLE "CLASS" "TITLE" LEFT TOP RIGHT BOTTOM` (screen
//                               coordinates); on the socket one line, entries separated by " | ",
//                               in a script one window a line.
//   wait-window NAME [MS]       until a visible top-level window has that title or class and its
//                               thread is back in its message loop (so what made the window is
//                               done); answers its handle, and it becomes the last window found.
//   wait-gone NAME [MS]         until no visible top-level window has that title or class.
//   click WINDOW X Y            a left click at client coordinates X Y; the point must lie in the
//   double-click WINDOW X Y     window and not be covered by another window, and the window's
//   right-click WINDOW X Y      top-level window must be enabled (not behind a modal one).
//   key WINDOW KEY              presses and releases KEY: a name (RETURN, ENTER, ESCAPE, TAB, SPACE,
//                               BACK, DELETE, INSERT, HOME, END, PAGEUP, PAGEDOWN, LEFT, RIGHT, UP,
//                               DOWN, F1..F24, SHIFT, CONTROL, ALT, HANGUL, HANJA), one letter or
//                               digit, a virtual-key number of two or more digits (or 0x..), or
//                               modifiers joined by '+' ("CONTROL+A", "SHIFT+TAB").
//   type WINDOW TEXT            TEXT (the rest of the line, or one quoted argument) typed as the
//                               input method delivers text: in the active code page, one WM_CHAR
//                               a byte.
//   text WINDOW                 the window's text; backslash, line feed and carriage return come
//                               as \\, \n and \r so the answer stays one line.
//   wait-text WINDOW TEXT [MS]  until the window's text contains TEXT; answers the whole text.
//   capture WINDOW FILE         paints what is pending, then writes the window's client area to
//                               FILE as PNG (folders made as needed); answers the full path.
//   sleep MS                    waits.
//   quit                        ends the program as a user closing it would: WM_CLOSE for its main
//                               window (the oldest visible unowned top-level window of its main
//                               thread); while a modal loop runs (that window is disabled, or there
//                               is none yet) WM_QUIT first ends the loops. A program still running
//                               YONDA_AUTOMATION_QUIT_MS later is ended with status 2 (1 after a
//                               failed script).
// key and type first activate WINDOW's top-level window unless the focus is in it already, and
// focus WINDOW when it is a control. Input commands answer once the program has taken the input
// and handled the messages it posted in turn; outcomes that take longer are waited for with
// wait-window, wait-gone and wait-text, never with sleep.
//
// Message boxes: with a display they are top-level windows of class "YondaMessageBox" (title:
// the caption). Headless they are not windows: each is written to stderr as "[CAPTION] TEXT" and
// answered with its default button, so tests read the program's stderr for them.
#pragma once

// Defaults of the environment variables named above.
#define YONDA_AUTOMATION_DEFAULT_WAIT_MS 10000
#define YONDA_AUTOMATION_DEFAULT_QUIT_MS 10000
