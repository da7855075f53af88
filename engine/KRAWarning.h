// How the engine reports: modal warning boxes for bad arguments at its entry, debugger lines
// for drawing failures and load traces.
#pragma once

// A box without owner, caption "Error", warning icon and one OK button.
void KRAShowWarning(const char* text);
// One line to the debugger output.
void KRATrace(const char* text);
