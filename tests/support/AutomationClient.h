// The test side of the platform's automation hook (yonda_automation.h): a connection to a
// program's YONDA_AUTOMATION_SOCKET that sends one command and reads its one answer line, with
// helpers that quote the arguments and read the answers back (window lists, texts, captures).
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace yonda::testing {

struct AutomationAnswer {
    bool ok = false;
    std::string text; // after "ok " or "error "
    std::string line; // the answer as it came
};

// For EXPECT_TRUE/ASSERT_TRUE: the answer's line is the failure message.
inline ::testing::AssertionResult IsOk(const AutomationAnswer& answer)
{
    if (answer.ok)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << answer.line;
}

struct WindowInfo {
    std::string handle; // "0x..."
    std::string className;
    std::string title;
    int left = 0, top = 0, right = 0, bottom = 0;
};

// Pixels as 0x00RRGGBB, top row first.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
std::optional<Picture> ReadPng(const std::string& path);

// An argument as the hook reads it: quoted, with \" and \\ inside.
std::string Quote(std::string_view text);
// A text answer back to its text (\\, \n and \r undone).
std::string UnescapeLine(std::string_view text);
// A `windows` answer's entries.
std::vector<WindowInfo> ParseWindows(std::string_view text);

class AutomationClient {
public:
    AutomationClient() = default;
    ~AutomationClient();
    AutomationClient(const AutomationClient&) = delete;
    AutomationClient& operator=(const AutomationClient&) = delete;

    // Connects, trying again until the socket accepts, the time is up or `keepTrying` says no
    // (the program ended).
    bool Connect(const std::string& socketPath, std::chrono::milliseconds timeout,
                 const std::function<bool()>& keepTrying = {});
    bool Connected() const { return m_fd >= 0; }
    void Close();

    // One command and its answer; an error answer of our own when none comes in time or the
    // connection is gone.
    AutomationAnswer Send(const std::string& command, std::chrono::milliseconds timeout);
    AutomationAnswer Send(const std::string& command) { return Send(command, kCommandTimeout); }

    std::vector<WindowInfo> Windows();
    AutomationAnswer WaitWindow(const std::string& name, int ms = kWaitMs);
    AutomationAnswer WaitGone(const std::string& name, int ms = kWaitMs);
    AutomationAnswer Click(const std::string& window, int x, int y);
    AutomationAnswer DoubleClick(const std::string& window, int x, int y);
    AutomationAnswer RightClick(const std::string& window, int x, int y);
    AutomationAnswer Key(const std::string& window, const std::string& key);
    AutomationAnswer Type(const std::string& window, const std::string& text);
    // The window's text, or nothing (the reason in `error`).
    std::optional<std::string> Text(const std::string& window, std::string* error = nullptr);
    AutomationAnswer WaitText(const std::string& window, const std::string& text, int ms = kWaitMs);
    // Writes the window's picture to file and reads it back.
    std::optional<Picture> Capture(const std::string& window, const std::string& file, std::string* error = nullptr);
    AutomationAnswer Quit();

    static constexpr int kWaitMs = 10000;
    // The hook gives a window's thread 30 s to take a command.
    static constexpr std::chrono::milliseconds kCommandTimeout{45000};

private:
    AutomationAnswer Wait(const std::string& command, int ms);

    int m_fd = -1;
    std::string m_pending;
};

} // namespace yonda::testing
