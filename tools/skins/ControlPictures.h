#pragma once
// The pictures of the toolkit's controls: scroll bars, the popup menu's background and the
// drop-down selector's button.
#include "SkinPictures.h"

std::vector<std::pair<std::string, SkinPicture>> ControlSkinPictures();
