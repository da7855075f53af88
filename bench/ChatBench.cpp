// The chat log under a flood: 1,000 chat lines arriving within one second (posted from another
// thread, as the network library posts its events) into the chat window over the generated skin,
// with the window painting as it goes. Goals: the GUI thread never busy for more than 50 ms at
// once (max_stall_ms), and the log holding its newest 100 lines (lines_held) ending with the last.
#include "ChatWnd.h"
#include "ClientGlobals.h"

#include <MainSkin.h>
#include <ToolkitShared.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>

namespace {

constexpr UINT kLineArrived = WM_APP + 1;
constexpr int kLines = 1000;

class SilentHost : public CChatHost {
public:
    BOOL SendChat(LPCSTR, int, int) override { return TRUE; }
    char GetOwnGender() override { return 'M'; }
    int GetRoomType() override { return -1; }
    void OnChatCommand(Command) override {}
};

// The window the lines arrive at: it writes each into the chat log, as the frame does.
class Receiver : public CWnd {
public:
    CChatWnd* chat = nullptr;
    int received = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == kLineArrived) {
            const std::string text = "line " + std::to_string(wParam) + " of a member who types very fast indeed";
            chat->AddChatLine("Speedy", text.c_str(), static_cast<int>(wParam % 15));
            ++received;
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

void ChatFlood(benchmark::State& state)
{
    g_strInstallPath = YONDA_BENCH_HOME;
    ToolkitSetSkinFolder(SkinFolderOf("Orange"));
    CMainSkin skin;
    if (!skin.LoadSkin(g_strInstallPath, "Orange")) {
        state.SkipWithError("no generated skin");
        return;
    }
    g_pMainSkin = &skin;
    Receiver receiver;
    receiver.CreateEx(0, AfxRegisterWndClass(0), "frame", WS_POPUP | WS_VISIBLE, CRect(0, 0, 800, 600), nullptr, 0);
    SilentHost host;
    CChatWnd chat;
    if (!chat.CreateChat(&receiver, &skin.Element(CMainSkin::CHAT_WINDOW), &host)) {
        state.SkipWithError("the chat window was not made");
        return;
    }
    receiver.chat = &chat;
    using Clock = std::chrono::steady_clock;
    double maxStallMs = 0;
    for (auto _ : state) {
        receiver.received = 0;
        const HWND target = receiver.GetSafeHwnd();
        std::thread feeder([target] {
            const auto start = Clock::now();
            for (int i = 0; i < kLines; ++i) {
                std::this_thread::sleep_until(start + std::chrono::microseconds(i * 1000));
                ::PostMessageA(target, kLineArrived, static_cast<WPARAM>(i), 0);
            }
        });
        const auto deadline = Clock::now() + std::chrono::seconds(10);
        while (receiver.received < kLines && Clock::now() < deadline) {
            MSG message;
            while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                const auto before = Clock::now();
                ::TranslateMessage(&message);
                ::DispatchMessageA(&message);
                const double ms = std::chrono::duration<double, std::milli>(Clock::now() - before).count();
                maxStallMs = std::max(maxStallMs, ms);
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        feeder.join();
    }
    const CTabbedTextList& log = chat.Log();
    state.counters["max_stall_ms"] = maxStallMs;
    state.counters["lines_held"] = log.GetLineCount();
    state.counters["last_line_kept"] =
        log.GetLineCount() > 0 && log.GetLine(log.GetLineCount() - 1).strText.Find("line 999 ") == 0 ? 1 : 0;
    state.counters["goal_met"] = maxStallMs <= 50.0 && log.GetLineCount() == CTabbedTextList::kMaxLines ? 1 : 0;
    chat.DestroyWindow();
    receiver.DestroyWindow();
    g_pMainSkin = nullptr;
}

} // namespace

BENCHMARK(ChatFlood)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
