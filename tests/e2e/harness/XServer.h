// An X server of the test's own (Xvfb on a display number it picks itself), for the tests that
// keep the real display path honest; ended with the object. scripts/deps.sh installs Xvfb.
#pragma once

#include "ChildProcess.h"

#include <string>

namespace yonda::testing {

class XServer {
public:
    // False with the reason when Xvfb is missing or does not come up.
    bool Start(std::string* why, const std::string& screen = "800x600x24");
    // ":N", for DISPLAY.
    const std::string& Display() const { return m_display; }

private:
    ChildProcess m_process;
    std::string m_display;
};

} // namespace yonda::testing
