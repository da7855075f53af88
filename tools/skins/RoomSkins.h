#pragma once
// The skin of the room search window, its list panel and the password dialog: the window's
// buttons and keyword well, the sections its lists, tabs and selectors read, and their pictures
// (tab strip and tab headings, lock and gender columns, the Go button).
#include "SkinWindows.h"
#include "WindowDescriptions.h"

// The room search window on the frame's description: its buttons and its keyword well.
WindowDescription RoomSearchWindow(WindowDescription frame);
// The password dialog on the dialog's description: the well of its one edit.
WindowDescription PasswordDialog(WindowDescription dialog);
// Adds the sections the descriptions cannot say to the windows' own ini files.
void AddRoomSkinSections(std::vector<std::pair<std::string, std::string>>* files);
// Two tabs side by side, each `width` x `height`: one strip per selected tab, stacked from the top.
SkinPicture TabStrip(const SkinTexts& texts, UINT codePage, const char* const labels[2], int width, int height);
std::vector<std::pair<std::string, SkinPicture>> RoomSkinPictures(const SkinTexts& texts, UINT codePage);
