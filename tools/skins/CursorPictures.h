#pragma once
// The skin's animated cursors: the orange arrow with a glint passing over it now and then, the
// spinning wait ring, and the arrow with a pulsing "cannot go there" sign.
#include "AniWriter.h"

#include <string>
#include <utility>
#include <vector>

std::vector<std::pair<std::string, AnimatedCursor>> DefaultSkinCursors();

// The program's icon (its window class's and title's).
CursorImage ProgramIcon();
