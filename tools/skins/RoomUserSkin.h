#pragma once
// The room-user window's own keys beyond its buttons: the names of the popup menus a member's row
// or avatar opens (by the member's role and the row's friendship), and its two tabs with their
// pictures. The 3D view's avatar menu reads the same names.
#include "SkinWindows.h"

#include <string>

// Further sections of a window's own ini; empty for every window but the room-user window.
std::string RoomUserSections(const std::string& windowSection);
// The tab pictures, labelled in the skin's texts.
std::vector<std::pair<std::string, SkinPicture>> RoomUserPictures(const SkinTexts& texts, UINT codePage);
