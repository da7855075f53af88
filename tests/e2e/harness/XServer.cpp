#include "XServer.h"

namespace yonda::testing {

bool XServer::Start(std::string* why, const std::string& screen)
{
    ChildProcess::Options options;
    options.program = "Xvfb";
    // The server writes its display number to stdout once it accepts connections.
    options.arguments = {"-displayfd", "1", "-screen", "0", screen, "-nolisten", "tcp"};
    if (!m_process.Start(options, why)) {
        *why = "Xvfb could not be started (scripts/deps.sh installs it): " + *why;
        return false;
    }
    if (!m_process.WaitForOutput("\n", std::chrono::seconds(30))) {
        *why = "Xvfb did not start (scripts/deps.sh installs it):\n" + m_process.Output();
        return false;
    }
    std::string number = m_process.Stdout();
    m_display = ":" + number.substr(0, number.find('\n'));
    return true;
}

} // namespace yonda::testing
