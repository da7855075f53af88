#pragma once
// The chat window under the 3D view: its log, its input line and its three buttons (text colour,
// emotions, chat theme), with the colour selector's width and the emotion menu's section.
#include "WindowDescriptions.h"

WindowDescription ChatWindowDescription();
