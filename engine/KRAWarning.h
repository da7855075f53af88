// How the engine reports: modal warning boxes for bad arguments at its entry, debugger lines
// for drawing failures and load traces.
#pragma once

#include <string>

// A box without owner, caption "Error", warning icon and one OK button.
void KRAShowWarning(const char* text);
// One line to the debugger output.
void KRATrace(const char* text);
// One line to the debugger output naming a file that did not load and why ("cannot be read",
// "is broken"), so that a host can tell its user which file failed.
void KRATraceFile(const std::string& strPath, const char* szWhy);
