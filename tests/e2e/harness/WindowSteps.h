// Waiting on the program's windows as a member sees them: a window of a kind, the chat log's
// lines, the box the program shows now, the toolkit's popup menus.
#pragma once

#include "EndToEndTest.h"

namespace yonda::testing {

// The program's window classes: its main frame, its dialogs and boxes, the toolkit's popup menus.
inline constexpr char kFrameClass[] = "VelmoraMain";
inline constexpr char kDialogClass[] = "#32770";
inline constexpr char kMenuClass[] = "Afx:0:0:0:0";

// The handle of the first top-level window of `className` that shows within `ms`, or empty.
std::string WaitForClass(DrivenProgram& program, const std::string& className, int ms = 10000);

// The main frame's chat log (#2003, a child of the frame) once it holds `text`, or empty.
std::string WaitForLog(DrivenProgram& program, const std::string& text, int ms = 20000);

// The box the program shows now (a dialog other than one titled `besides`): its title, which is
// its text, after Enter answered it; "(no box)" when none shows within ten seconds.
std::string AnswerBox(DrivenProgram& program, const std::string& besides = {});

// Where item `item` of an open popup menu of the toolkit lies in it (the skins' menus: a top
// band, then 18-pixel items a pixel apart).
constexpr int MenuItemY(int item)
{
    return 24 + 19 * item;
}

} // namespace yonda::testing
