#pragma once
// The instant messenger's window and the avatar creation dialog of the default skins: their
// descriptions, the sections of their own skin inis that go beyond buttons and fields (the
// dialog's lists, tab strip and preview place, the messenger's title rectangle), and their
// pictures beyond the backgrounds and buttons (the messenger's badge, the dialog's tab strip).
#include "SkinWindows.h"
#include "WindowDescriptions.h"

WindowDescription MessengerWindow();
WindowDescription AvatarSelectDialog();
// The pictures only these windows use.
std::vector<std::pair<std::string, SkinPicture>> MessengerSkinPictures(const SkinTexts& texts, UINT codePage);
