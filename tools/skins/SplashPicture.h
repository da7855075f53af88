#pragma once
// The picture the program shows while it starts ("Loading.bmp"): its name, a line about it and a
// line saying it is loading, in the skin's language, beside two avatars under a warm sun, with a
// sunken place for the progress bar the splash lays over it at (255, 165)-(461, 184).
#include "SkinPictures.h"

#include <windows.h>

#include <map>
#include <string>

constexpr int kSplashWidth = 480;
constexpr int kSplashHeight = 260;

// Texts: SPLASH_TITLE, SPLASH_TAGLINE and SPLASH_LOADING (UTF-8). False when one is missing or
// the text layer fails.
bool PaintSplash(const std::map<std::string, std::string>& texts, UINT codePage, SkinPicture* picture);
