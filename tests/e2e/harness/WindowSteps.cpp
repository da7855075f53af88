#include "WindowSteps.h"

#include <thread>

namespace yonda::testing {
namespace {

constexpr char kChatLog[] = "#2003";

using Clock = std::chrono::steady_clock;

} // namespace

std::string WaitForClass(DrivenProgram& program, const std::string& className, int ms)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < deadline) {
        for (const WindowInfo& w : program.Windows()) {
            if (w.className == className) {
                return w.handle;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return {};
}

std::string WaitForLog(DrivenProgram& program, const std::string& text, int ms)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < deadline) {
        program.WaitWindow(kFrameClass); // the log is named in the frame
        const std::string log = program.Text(kChatLog).value_or("");
        if (log.find(text) != std::string::npos) {
            return log;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return {};
}

std::string AnswerBox(DrivenProgram& program, const std::string& besides)
{
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (Clock::now() < deadline) {
        for (const WindowInfo& w : program.Windows()) {
            if (w.className == kDialogClass && (besides.empty() || w.title != besides)) {
                EXPECT_TRUE(IsOk(program.Key(w.handle, "RETURN")));
                EXPECT_TRUE(IsOk(program.WaitGone(w.handle)));
                return w.title;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return "(no box)";
}

} // namespace yonda::testing
