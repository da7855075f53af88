// The engine viewer's host: a window and a Direct3D device, the engine over a data folder, one
// scene with dressed avatars walking between its start positions, and the frames it draws.
#pragma once

#include "ViewOptions.h"

// Runs the whole view; answers the process exit status (0, or 1 after writing why to stderr).
int RunView(const ViewOptions& options);
