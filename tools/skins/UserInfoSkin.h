#pragma once
// The user information window's skin: its frame's description (buttons, edits, lists, tabs,
// profile text points, the preview's and the picture's places) and the pictures only it has:
// the three panels and its two tab strips.
#include "SkinWindows.h"
#include "WindowDescriptions.h"

WindowDescription UserInfoWindow();
std::vector<std::pair<std::string, SkinPicture>> UserInfoPictures(const SkinTexts& texts, UINT codePage);
