#pragma once
// The skin of the friends and room-users window beside the 3D view and of the user search window:
// their buttons, tabs, list sections and column pictures, and the area selector that every
// search shares, made from the one list of area codes the service uses too.
#include "SkinWindows.h"
#include "WindowDescriptions.h"

// The friends and room-users window on the frame's description: six buttons, no close button
// (it always stands beside the view).
WindowDescription FriendsWindow(WindowDescription frame);
// The user search window on the frame's description: its buttons and keyword well.
WindowDescription UserSearchWindow(WindowDescription frame);
// Adds the sections the descriptions cannot say (lists, tabs, menus, selectors) to the windows'
// own ini files, and the area selector's items to the popup-menu file.
void AddPeopleSkinSections(std::vector<std::pair<std::string, std::string>>* files);
std::vector<std::pair<std::string, SkinPicture>> PeopleSkinPictures(const SkinTexts& texts, UINT codePage);
