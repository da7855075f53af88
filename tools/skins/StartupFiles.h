#pragma once
// The files the program reads from the skin folder while it starts, before any window of the
// skin exists: the three animated cursors and the splash picture.
#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

using NamedFile = std::pair<std::string, std::vector<uint8_t>>;

// False (and a message) when a text the splash needs is missing.
bool StartupFiles(const std::map<std::string, std::string>& texts, UINT codePage, std::vector<NamedFile>* files);
