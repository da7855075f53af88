// The 3D lobby with 40 members present, as a member's program holds it: the real session logged in
// to a real service on loopback, the real main frame and 3D view over the generated world, the
// square with the own member and 39 others who came in through the session's event path.
//
// BM_LobbyFrame: the view's frame (its render step: walks, world and avatar passes, picking,
// present) against the frame kravex-view draws (walks advanced, the scene's Render of every
// avatar, present) over the same device, engine, scene and avatars, measured alternately on the
// software renderer. Goal: view_ms within 1.2 times viewer_ms (counter ratio).
// BM_LobbyGuiThread: the render worker draws as in the program while the GUI thread takes the
// lock every few milliseconds, as its event handlers do; gui_max_wait_ms is the longest it
// waited (gui_p99_wait_ms nearly always), frame_ms and frame_max_ms the view's median and longest
// frame for comparison (goal: never more than one frame), and
// resident_MB the process's resident memory with the 40 members (goal: under 300 MB).
#include <benchmark/benchmark.h>

#include "AvatarScene.h"
#include "ClientGlobals.h"
#include "ClientSession.h"
#include "ItemCatalog.h"
#include "MainFrame.h"
#include "ServiceHarness.h"

#include <DialogSkin.h>
#include <MainSkin.h>
#include <ProgramResources.h>
#include <ToolkitShared.h>
#include <yonda_d3d8.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kMembers = 40;

double Ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> values)
{
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double ResidentMb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stod(line.substr(6)) / 1024.0;
        }
    }
    return 0;
}

void Pump(int ms)
{
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    do {
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    } while (Clock::now() < end);
}

// A 141 answer: a member standing at (x, z).
LPARAM AvatarInfo(long user, char gender, float x, float z)
{
    BYTE* head = new BYTE[84]();
    const int32_t id = static_cast<int32_t>(user);
    std::memcpy(head, &id, 4);
    std::snprintf(reinterpret_cast<char*>(head + 25), 31, "guest%ld", user);
    head[56] = static_cast<BYTE>(gender);
    head[57] = head[58] = head[59] = '0';
    const float y = 0;
    std::memcpy(head + 60, &x, 4);
    std::memcpy(head + 64, &z, 4);
    std::memcpy(head + 69, &x, 4);
    std::memcpy(head + 73, &y, 4);
    std::memcpy(head + 77, &z, 4);
    head[82] = head[83] = '0';
    auto* list = new CPtrList;
    list->AddTail(head);
    static const char kItems[][8] = {{'0', '0', '0', '1', 0, '0', 0, 0},
                                     {'2', '0', '0', '1', 0, '0', 0, 0},
                                     {'3', '0', '0', '1', 0, '0', 0, 0},
                                     {'4', '0', '0', '1', 0, '0', 0, 0}};
    for (const auto& item : kItems) {
        BYTE* copy = new BYTE[8];
        std::memcpy(copy, item, 8);
        list->AddTail(copy);
    }
    return reinterpret_cast<LPARAM>(list);
}

class Lobby {
public:
    Lobby()
    {
        RegisterProgramResources();
        g_strInstallPath = YONDA_BENCH_HOME;
        GlobalLockInit();
        g_pMainSkin = new CMainSkin;
        g_pDialogSkin = new CDialogSkin;
        g_pMainSkin->LoadSkin(g_strInstallPath, "Orange");
        g_pDialogSkin->SetSkinPath(g_pMainSkin->m_strSkinFolder);
        ToolkitSetSkinFolder(g_pMainSkin->m_strSkinFolder);
        ToolkitSetMessageSkin(g_pDialogSkin);
        m_kim = m_service.addMember("kim", "Kim");
        g_pSession = &m_session;
        g_pComm = m_session.GetComm();
        m_session.LoadStringTable("StringTable.ini");
        m_session.GetComm()->Connect("127.0.0.1", m_service.port());
        long user = 0;
        char flag = 0;
        m_session.GetComm()->QueryLogin("kim", "pw", user, flag);
        m_session.m_OwnUser.lUser = user;
        m_session.m_OwnUser.bHasAvatar = 1;
        m_session.ExecuteCommand(CMD_LOGIN_DONE, 0, 0);
        m_frame = new CMainFrame;
        m_frame->m_pSession = &m_session;
        m_session.SetMainFrame(m_frame);
        m_frame->CreateFrame(0, 0);
        m_session.GetComm()->SetNotifyWindow(m_frame);
        g_pItemCatalog = new CItemCatalog;
        new CAvatarScene;
        g_pAvatarScene->InitScene();
        m_session.SendRequest(REQ_MY_AVATAR_INFO, 0, 0);
        g_pAvatarScene->UnloadScene();
        m_session.ExecuteCommand(CMD_ENTER_LOBBY, 0, 0);
        for (int i = 0; i < 500 && View().GetAvatarSlot(m_kim, nullptr) >= kAvatarSlotCount; ++i) {
            Pump(10);
        }
        // The others stand in rows before the own member, where its camera looks.
        AVATAR_SLOT own{};
        View().GetAvatarSlot(m_kim, &own);
        D3DXMATRIX placed;
        View().m_pScene->GetAvatarMatrix(own.hAvatar, placed);
        for (int i = 1; i < kMembers; ++i) {
            const float x = placed._41 + static_cast<float>(i % 8 - 4) * 14.0f;
            const float z = placed._43 + 25.0f + static_cast<float>(i / 8) * 18.0f;
            m_frame->SendMessage(UM_COMM_EVENT, EV_USER_AVATAR_INFO, AvatarInfo(5000 + i, i % 2 ? 'F' : 'M', x, z));
        }
        Pump(300);
    }
    ~Lobby()
    {
        m_frame->DestroyWindow();
        m_session.GetComm()->Disconnect();
        m_session.SetMainFrame(nullptr);
        delete g_pAvatarScene;
        delete g_pItemCatalog;
        g_pItemCatalog = nullptr;
        g_pSession = nullptr;
        g_pComm = nullptr;
    }
    CD3DViewer& View() { return m_frame->m_wndView; }
    int Present()
    {
        CGlobalLock lock;
        int count = 0;
        for (const AVATAR_SLOT& slot : View().m_slots) {
            count += slot.byInUse;
        }
        return count;
    }

private:
    yonda::testing::ServiceHarness m_service{"bench-lobby"};
    long m_kim = 0;
    CClientSession m_session;
    CMainFrame* m_frame = nullptr;
};

// The frame kravex-view draws, over the view's own engine, scene and avatars.
void ViewerFrame(CD3DViewer& view)
{
    CGlobalLock lock;
    std::vector<_KRA_HANDLE> handles;
    for (const AVATAR_SLOT& slot : view.m_slots) {
        if (slot.byInUse) {
            handles.push_back(slot.hAvatar);
        }
    }
    IDirect3DDevice8* device = view.m_pDevice;
    view.m_pScene->UpdateMoveAvatar(handles.data(), static_cast<unsigned>(handles.size()));
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF6080A0, 1.0f, 0);
    device->BeginScene();
    view.m_pScene->Render(static_cast<unsigned>(handles.size()), handles.data());
    device->EndScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);
}

void BM_LobbyFrame(benchmark::State& state)
{
    Lobby lobby;
    CD3DViewer& view = lobby.View();
    state.counters["members"] = lobby.Present();
    // The worker stops; its step runs here, on this thread, once a frame is due.
    view.RequestStop();
    ::WaitForSingleObject(view.m_hThreadEnded, INFINITE);
    CWorkerThread& step = view;
    for (int i = 0; i < 5; ++i) {
        view.m_bFrameDue = 1;
        step.OnThreadStep();
        ViewerFrame(view);
    }
    std::vector<double> viewMs, viewerMs;
    for (auto _ : state) {
        view.m_bFrameDue = 1;
        auto start = Clock::now();
        step.OnThreadStep();
        const double ours = Ms(Clock::now() - start);
        start = Clock::now();
        ViewerFrame(view);
        const double theirs = Ms(Clock::now() - start);
        viewMs.push_back(ours);
        viewerMs.push_back(theirs);
        state.SetIterationTime(ours / 1000.0);
    }
    state.counters["view_ms"] = Median(viewMs);
    state.counters["viewer_ms"] = Median(viewerMs);
    state.counters["ratio"] = Median(viewMs) / std::max(Median(viewerMs), 1e-6);
    YondaD3D8ReleaseThreadContext();
}
BENCHMARK(BM_LobbyFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(60);

void BM_LobbyGuiThread(benchmark::State& state)
{
    Lobby lobby;
    CD3DViewer& view = lobby.View();
    state.counters["members"] = lobby.Present();
    Pump(1000); // the renderer builds its programs in the first frames
    for (auto _ : state) {
        // Three seconds of the program: the worker draws, the GUI thread's timer makes frames
        // due, and its handlers take the lock every few milliseconds.
        double longest = 0;
        std::vector<double> waits;
        const auto end = Clock::now() + std::chrono::seconds(3);
        while (Clock::now() < end) {
            Pump(5);
            const auto start = Clock::now();
            {
                CGlobalLock lock;
            }
            waits.push_back(Ms(Clock::now() - start));
            longest = std::max(longest, waits.back());
        }
        std::sort(waits.begin(), waits.end());
        state.SetIterationTime(longest / 1000.0);
        state.counters["gui_max_wait_ms"] = longest;
        state.counters["gui_p99_wait_ms"] = waits[waits.size() * 99 / 100];
    }
    // The view's own frame for comparison, drawn by the worker's step as above.
    view.RequestStop();
    ::WaitForSingleObject(view.m_hThreadEnded, INFINITE);
    std::vector<double> frames;
    CWorkerThread& step = view;
    for (int i = 0; i < 20; ++i) {
        view.m_bFrameDue = 1;
        const auto start = Clock::now();
        step.OnThreadStep();
        frames.push_back(Ms(Clock::now() - start));
    }
    state.counters["frame_ms"] = Median(frames);
    state.counters["frame_max_ms"] = *std::max_element(frames.begin(), frames.end());
    state.counters["resident_MB"] = ResidentMb();
    YondaD3D8ReleaseThreadContext();
}
BENCHMARK(BM_LobbyGuiThread)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
