// Scene frame goal: one frame of the generated living room with 30 dressed avatars walking between
// its start positions, each with a Korean balloon, at 800x600 through the whole engine and the
// Direct3D stand-in on the software renderer, as the client draws it: walks advanced, the scene
// with its avatars, the balloons, and the picture presented. Beside each frame the same frame's
// draws replayed straight through OpenGL (FrameReplay): the floor for this scene on this
// renderer. Goals: under 12 ms per frame with the renderer's threads at the core count
// (LP_NUM_THREADS), under 20 ms with 2, and within 1.3 times the floor.
//
// The time is the frame's median. Counters: floor_ms is the replay's median and ratio the
// frame over the floor, both measured alternately in the same run; engine_ms is the wall time
// of the engine's calls (walks, world and avatar passes, balloons) on the drawing thread,
// engine_cpu_ms the CPU time that thread spent in them, present_ms the wait for the renderer to
// finish the picture and hand it over; frame_cpu_ms and floor_cpu_ms are the medians of the CPU
// time the drawing thread spent on a frame and the replay's thread on its frame (vertex work
// and binning run there, single-threaded); frame_work_ms and floor_work_ms the CPU time of the
// whole process, the renderer's threads included, over each (what a busy machine cannot hide);
// draws and programs count the replayed frame's draws and
// state combinations, and differing_pixels the pixels where the replay's picture is not the
// stand-in's.
#include <Kravex.h>
#include <benchmark/benchmark.h>
#include <d3d8.h>
#include <windows.h>
#include <yonda_d3d8.h>
#include <yonda_platform.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "FrameReplay.h"

namespace {

constexpr int kAvatars = 30;
constexpr UINT kWidth = 800;
constexpr UINT kHeight = 600;
constexpr D3DCOLOR kClearColour = 0xFF6080A0;
constexpr int kWalk[2] = {41, 35};

std::set<_KRA_HANDLE> g_sArrived;

void OnMessage(LONG lCode, LONG, void* pData)
{
    if (lCode == KRA_MSG_MOVE_END && pData)
        g_sArrived.insert(*static_cast<const _KRA_HANDLE*>(pData));
}

double ThreadSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

double ProcessSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

double WallSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

struct Room {
    IDirect3D8* pD3D = nullptr;
    IDirect3DDevice8* pDevice = nullptr;
    CKRAManager* pManager = nullptr;
    _KRA_HANDLE hScene = 0;
    CKRAScene* pScene = nullptr;
    std::vector<_KRA_HANDLE> vAvatars;
    std::vector<int> vKinds, vNext;
    std::vector<D3DXVECTOR3> vStarts, vOffsets;
    std::vector<std::string> vBalloons;
    CKRAHandle<tagKRADS> hBalloon;
    HWND hwnd = reinterpret_cast<HWND>(uintptr_t(0x7100));
    bool bReady = false;

    bool bBalloons = true;

    Room(int nAvatars, bool bWithBalloons) : bBalloons(bWithBalloons)
    {
        std::string data = std::string(YONDA_BENCH_DATA) + "/";
        if (!std::filesystem::is_directory(std::string(YONDA_BENCH_DATA) + "/WORLD"))
            return;
        pD3D = Direct3DCreate8(D3D_SDK_VERSION);
        D3DPRESENT_PARAMETERS pp{};
        pp.BackBufferWidth = kWidth;
        pp.BackBufferHeight = kHeight;
        pp.BackBufferFormat = D3DFMT_X8R8G8B8;
        pp.BackBufferCount = 1;
        pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
        pp.hDeviceWindow = hwnd;
        pp.Windowed = TRUE;
        pp.EnableAutoDepthStencil = TRUE;
        pp.AutoDepthStencilFormat = D3DFMT_D24S8;
        if (!pD3D || FAILED(pD3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, hwnd, 0x24, &pp, &pDevice)))
            return;
        pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
        pDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
        pDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
        if (KRACreate(pDevice, data.c_str(), &OnMessage, &pManager) < 0 ||
            pManager->LoadScene("RM_03.KRS", hScene) < 0 || pManager->KraMan_GetScene(hScene, &pScene) < 0)
            return;
        unsigned int nStarts = 0;
        D3DXVECTOR3* pStarts = nullptr;
        pScene->GetInitPosition(&nStarts, &pStarts);
        vStarts.assign(pStarts, pStarts + nStarts);
        D3DXVECTOR3 vEye(0, 120, -190), vAt(0, 20, -30), vUp(0, 1, 0);
        pScene->SetCameraPosition(vEye, vAt, vUp);
        pScene->SetProjectionMatrix(0, 0, 1, 5000);
        LOGFONTA log{};
        log.lfHeight = 14;
        log.lfCharSet = HANGEUL_CHARSET;
        char szNick[] = "bench", szOther[] = "1.krt", szTexture[] = "OtherBalloon5-1.KRT";
        pScene->CreateIDFont(&log, szNick);
        pScene->CreateBalloonFont(&log, szOther);
        pScene->LoadKRTTexture(szTexture, hBalloon);

        std::string motions = std::string(YONDA_BENCH_DATA) + "/AVATAR/Motion/";
        const char* aszKinds[2] = {"Boy", "Girl"};
        for (int k = 0; k < 2; ++k) {
            pScene->LoadInitMotion((motions + aszKinds[k] + "_Bind.mot").c_str(), k);
            // The walk sits where the client keeps it; idle copies fill the places before it.
            for (int i = 0; i < kWalk[k]; ++i)
                pScene->LoadMotion((motions + aszKinds[k] + "_Idle.mot").c_str(), k);
            pScene->LoadMotion((motions + aszKinds[k] + "_Walk.mot").c_str(), k);
        }
        const char* aszSpeech[3] = {"안녕하세요 반가워요", "오늘 날씨가 정말 좋네요", "같이 산책하러 갈까요?"};
        for (int i = 0; i < nAvatars; ++i) {
            int nKind = i % 2;
            char aszItems[7][32];
            KRA_AVATAR_ITEM items[7] = {};
            const DWORD adwKinds[7] = {0x20802, 0x20801, 0x20803, 0x20804, 0x20805, 0x20806, 0x20806};
            for (int c = 0; c < 7; ++c) {
                std::snprintf(aszItems[c], sizeof(aszItems[c]), "%d0%d%03d0.KRI", nKind + 1, c, (i / 2 + c) % 3);
                items[c].dwItemKind = adwKinds[c];
                std::snprintf(items[c].szItemFile, sizeof(items[c].szItemFile), "%s", aszItems[c]);
            }
            KRA_AVATAR_STRUCTURE s{0x00010001, 4, 900000u + DWORD(i), 7, items};
            _KRA_HANDLE h = 0;
            if (pScene->LoadAvatar(&s, h) < 0)
                return;
            int nRing = i / int(vStarts.size());
            D3DXVECTOR3 vOffset =
                nRing ? D3DXVECTOR3(std::cos(nRing * 2.4f), 0, std::sin(nRing * 2.4f)) * (6.0f + 4.0f * nRing)
                      : D3DXVECTOR3(0, 0, 0);
            D3DXVECTOR3 v = vStarts[size_t(i) % vStarts.size()] + vOffset;
            D3DXMATRIX m;
            D3DXMatrixTranslation(&m, v.x, v.y, v.z);
            pScene->SetAvatarMatrix(h, m);
            pScene->SetMotionType(h, nKind);
            pScene->SetWalkSpeedOfAvatar(h, 44);
            vAvatars.push_back(h);
            vKinds.push_back(nKind);
            vNext.push_back(i + 1);
            vOffsets.push_back(vOffset);
            vBalloons.push_back(YondaUtf8ToCodePage(aszSpeech[i % 3], 949));
            Walk(size_t(i));
        }
        YondaClockSetManual(TRUE);
        bReady = true;
    }

    void Walk(size_t i)
    {
        D3DXVECTOR3 vFrom, vStop, vTo = vStarts[size_t(vNext[i]++) % vStarts.size()] + vOffsets[i];
        pScene->GetAvatar3DPosition(vAvatars[i], vFrom);
        if (pScene->CheckCollision(vFrom, vTo, vStop) == KRA_OK)
            vTo = vStop;
        pScene->StopAvatar(vAvatars[i]);
        pScene->SetMotion(vAvatars[i], kWalk[vKinds[i]], kWalk[vKinds[i]]);
        pScene->StartMotion(vAvatars[i]);
        pScene->MoveToAvatar(vAvatars[i], vTo);
    }

    // One frame; the engine's share of it is added to the counters.
    void Frame(double& fEngineWall, double& fEngineCpu, double& fPresent)
    {
        YondaClockAdvance(30);
        pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kClearColour, 1.0f, 0);
        pDevice->BeginScene();
        double fWall = WallSeconds(), fCpu = ThreadSeconds();
        if (!vAvatars.empty())
            pScene->UpdateMoveAvatar(vAvatars.data(), unsigned(vAvatars.size()));
        for (size_t i = 0; i < vAvatars.size(); ++i)
            if (g_sArrived.erase(vAvatars[i]))
                Walk(i);
        // An empty room draws no avatars: a count of 0 would draw every avatar there is.
        if (vAvatars.empty())
            pScene->RenderOnlyWorld();
        else
            pScene->Render(unsigned(vAvatars.size()), vAvatars.data());
        for (size_t i = 0; i < (bBalloons ? vAvatars.size() : 0); ++i) {
            D3DXVECTOR3 v;
            if (pScene->GetAvatar2DPosition(vAvatars[i], 0, 6, 0, v) != KRA_OK)
                continue;
            LONG x = LONG(v.x), y = LONG(v.y);
            RECT box{x - 100, y - 100, x + 100, y - 10};
            pScene->DrawID(vBalloons[i].data(), &box, 0x1A111, 0xFF202020, true, &hBalloon, 0);
        }
        fEngineWall += WallSeconds() - fWall;
        fEngineCpu += ThreadSeconds() - fCpu;
        pDevice->EndScene();
        double fPresentStart = WallSeconds();
        pDevice->Present(nullptr, nullptr, hwnd, nullptr);
        fPresent += WallSeconds() - fPresentStart;
    }

    ~Room()
    {
        YondaClockSetManual(FALSE);
        for (_KRA_HANDLE& h : vAvatars)
            pScene->UnloadAvatar(h);
        if (hScene)
            pManager->UnloadScene(hScene);
        if (pManager)
            KRADestroy();
        if (pDevice)
            pDevice->Release();
        if (pD3D)
            pD3D->Release();
    }
};

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::nth_element(values.begin(), values.begin() + long(values.size() / 2), values.end());
    return values[values.size() / 2];
}

// Pixels whose colour differs between two pictures of the same size (alpha aside: the back
// buffer has none).
int DifferingPixels(const std::vector<DWORD>& a, const std::vector<uint32_t>& b)
{
    int n = 0;
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        n += ((a[i] ^ b[i]) & 0xFFFFFFu) != 0;
    return n + int(std::max(a.size(), b.size()) - std::min(a.size(), b.size()));
}

void BM_LivingRoomFrame(benchmark::State& state)
{
    Room room(int(state.range(0)), state.range(1) != 0);
    if (!room.bReady) {
        state.SkipWithError("the generated world or the renderer is missing");
        return;
    }
    double fEngineWall = 0, fEngineCpu = 0, fPresent = 0;
    for (int i = 0; i < 10; ++i)
        room.Frame(fEngineWall, fEngineCpu, fPresent);
    yonda::bench::FrameReplay replay(kWidth, kHeight, kClearColour);
    std::string why;
    if (!replay.Record(
            room.pDevice, [&] { room.Frame(fEngineWall, fEngineCpu, fPresent); }, &why)) {
        state.SkipWithError(why.c_str());
        return;
    }
    YondaPicture picture;
    YondaD3D8GetPresentedPicture(room.hwnd, &picture);
    replay.Frame();
    int nDiffering = DifferingPixels(picture.pixels, replay.Picture());

    fEngineWall = fEngineCpu = fPresent = 0;
    std::vector<double> vFrames, vFloors, vFrameCpu, vFloorCpu, vFrameWork, vFloorWork;
    for (auto _ : state) {
        double fStart = WallSeconds(), fStartCpu = ThreadSeconds(), fStartWork = ProcessSeconds();
        room.Frame(fEngineWall, fEngineCpu, fPresent);
        double fMiddle = WallSeconds(), fMiddleCpu = ThreadSeconds(), fMiddleWork = ProcessSeconds();
        replay.Frame();
        double fEnd = WallSeconds(), fEndWork = ProcessSeconds();
        vFrameWork.push_back(fMiddleWork - fStartWork);
        vFloorWork.push_back(fEndWork - fMiddleWork);
        vFrames.push_back(fMiddle - fStart);
        vFloors.push_back(fEnd - fMiddle);
        vFrameCpu.push_back(fMiddleCpu - fStartCpu);
        vFloorCpu.push_back(replay.LastCpuSeconds());
        state.SetIterationTime(fMiddle - fStart);
    }
    double n = double(state.iterations());
    double fFrame = Median(vFrames), fFloor = Median(vFloors);
    state.counters["frame_ms"] = fFrame * 1000;
    state.counters["floor_ms"] = fFloor * 1000;
    state.counters["ratio"] = fFloor > 0 ? fFrame / fFloor : 0;
    state.counters["frame_cpu_ms"] = Median(vFrameCpu) * 1000;
    state.counters["floor_cpu_ms"] = Median(vFloorCpu) * 1000;
    state.counters["frame_work_ms"] = Median(vFrameWork) * 1000;
    state.counters["floor_work_ms"] = Median(vFloorWork) * 1000;
    state.counters["engine_ms"] = fEngineWall * 1000 / n;
    state.counters["engine_cpu_ms"] = fEngineCpu * 1000 / n;
    state.counters["present_ms"] = fPresent * 1000 / n;
    state.counters["draws"] = double(replay.Draws());
    state.counters["programs"] = double(replay.Programs());
    state.counters["vertices"] = double(replay.Vertices());
    state.counters["dynamic_kb"] = double(replay.DynamicBytes()) / 1024;
    state.counters["differing_pixels"] = nDiffering;
}
// The goal's frame (30 avatars, 30 balloons), then without the balloons and without anybody.
BENCHMARK(BM_LivingRoomFrame)
    ->Args({kAvatars, 1})
    ->Args({kAvatars, 0})
    ->Args({0, 0})
    ->ArgNames({"avatars", "balloons"})
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->MinTime(3.0);

} // namespace
