#pragma once
// The pictures of the skins' buttons: strips of equal columns side by side, magenta where the
// window behind shows through. Labels are bytes in the skin's code page.
#include "SkinPictures.h"

#include <windows.h>

#include <string>
#include <vector>

constexpr uint32_t kStripKey = 0xFF00FF; // left out when buttons are drawn

enum class Glyph { None, Close, Minimise };

// A push button's four states: normal, hover, pressed (label one pixel lower), disabled.
SkinPicture ButtonStrip(int width, int height, uint32_t face, const std::string& label, Glyph glyph, UINT codePage);
// A check box with its label on the dialogs' cream: unticked, unticked under the mouse, ticked,
// disabled.
SkinPicture CheckStrip(int width, int height, const std::string& label, UINT codePage);
// A text link on the dialogs' cream: plain, lit and underlined under the mouse, pressed, disabled.
SkinPicture LinkStrip(int width, int height, const std::string& label, UINT codePage);
// The lobby entrances: one column per lobby, each a button of its own with the lobby's name.
SkinPicture ChannelStrip(int width, int height, const std::vector<std::string>& labels, UINT codePage);
// A title plaque per label, side by side, each column width x height: an emblem of its own
// colour and the label in white on a dark orange plate. Copied as it is (no key colour).
SkinPicture TitleStrip(int width, int height, const std::vector<std::string>& labels, UINT codePage);
// A party-game button by the game's state: off (greyed), on, under the mouse, used (pressed in).
SkinPicture StageStrip(int width, int height, uint32_t face, const std::string& label, UINT codePage);
