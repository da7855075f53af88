#pragma once
// The files the window descriptions make: "default.ini", one skin ini per window and dialog, and
// their pictures with the labels drawn in each skin's own texts.
#include "SkinPictures.h"

#include <windows.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

using SkinTexts = std::map<std::string, std::string>; // key -> UTF-8 text

// Ini files by name, in UTF-8 with {{KEY}} placeholders for the skin's texts.
std::vector<std::pair<std::string, std::string>> WindowIniFiles();
// Pictures by file name, labels drawn with the texts in the skin's code page.
std::vector<std::pair<std::string, SkinPicture>> WindowPictures(const SkinTexts& texts, UINT codePage);
