#pragma once
// The item shop's skin: its dialog's description (the store grid, the avatar preview, the two
// rows of category tabs, the own-item list, the buy and basket buttons) and the pictures only it
// has: the grid's cell states and the tab strips.
#include "SkinWindows.h"
#include "WindowDescriptions.h"

// The cells of the store grid: four state columns of this size side by side.
constexpr int kShopCellWidth = 320;
constexpr int kShopCellHeight = 48;
constexpr int kShopTabCount = 5;

WindowDescription ItemShopWindow();
// "RECT(left,top,right,bottom)" of a box, as the skin ini files write rectangles.
std::string RectText(const SkinBox& b);
// A text of the skin's texts in its code page, or empty when the texts lack the key.
std::string Bytes(const SkinTexts& texts, const std::string& key, UINT codePage);
// Tabs side by side; the picture holds one variant per selected tab, stacked.
SkinPicture TabStrip(const SkinBox& box, const std::vector<std::string>& labels, UINT codePage);
std::vector<std::pair<std::string, SkinPicture>> ItemShopPictures(const SkinTexts& texts, UINT codePage);
