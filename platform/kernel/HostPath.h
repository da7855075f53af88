// The pieces of the path resolver the kernel's file functions share.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace yonda::kernel {

// Components of a Windows path, separators '\' or '/', a drive letter dropped.
std::vector<std::string> SplitWindowsPath(std::string_view path, bool& absolute, bool& trailingSeparator);
// A component as the host names it: UTF-8 as it stands, else converted from the active code page.
std::string HostComponent(std::string_view component);

} // namespace yonda::kernel
