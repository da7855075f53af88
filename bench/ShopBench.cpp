// Opening the item shop with its live preview and going through every category, as the program
// does it: the real frame, 3D view and engine over the generated data, the member logged in to
// the real service on loopback. Reports the time from asking for the shop to its first preview
// frame drawn (all categories filled on the way) and the resident memory the open shop adds.
#include <AvatarScene.h>
#include <ClientApp.h>
#include <ClientGlobals.h>
#include <ClientSession.h>
#include <ItemCatalog.h>
#include <ItemShopDlg.h>
#include <MainFrame.h>
#include <MainSkin.h>
#include <ProgramResources.h>
#include <ServiceHarness.h>
#include <ToolkitShared.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

namespace {

long ResidentKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::atol(line.c_str() + 6);
        }
    }
    return 0;
}

void Pump()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

class QuietShop : public CItemShopDlg {
public:
    using CItemShopDlg::CItemShopDlg;

protected:
    INT_PTR RunBox(CNotifyDlg&) override { return IDCANCEL; }
};

void BM_OpenShopToFirstFrame(benchmark::State& state)
{
    g_strInstallPath = YONDA_BENCH_HOME;
    GlobalLockInit();
    RegisterProgramResources();
    CMainSkin skin;
    g_pMainSkin = &skin;
    skin.LoadSkin(g_strInstallPath, "Orange");
    ToolkitSetSkinFolder(skin.m_strSkinFolder);
    yonda::testing::ServiceHarness service{"shop-bench"};
    service.addMember("kim", "Kim", 100000);
    CClientSession session;
    g_pSession = &session;
    session.LoadStringTable("StringTable.ini");
    session.GetComm()->Connect("127.0.0.1", service.port());
    long user = 0;
    char flag = 0;
    session.GetComm()->QueryLogin("kim", "pw", user, flag);
    session.m_OwnUser.lUser = user;
    session.m_OwnAvatar.cLetter[0] = 'M';
    CClientApp app;
    auto* frame = new CMainFrame;
    frame->CreateFrame(0, 0);
    app.m_pMainWnd = frame;
    CItemCatalog catalog;
    g_pItemCatalog = &catalog;
    CAvatarScene scene;
    scene.InitScene();
    Pump();
    long addedKb = 0;
    for (auto _ : state) {
        const long before = ResidentKb();
        QuietShop shop(&skin.Element(CMainSkin::DLG_TRADEITEM), &catalog, frame);
        shop.Create(CItemShopDlg::kTemplate, frame);
        for (int tab = 0; tab < 5; ++tab) {
            shop.ChangeCategory(tab);
        }
        benchmark::DoNotOptimize(shop.m_wndAvatar.RenderFrame());
        addedKb = std::max(addedKb, ResidentKb() - before); // the first opening pays for the pictures and fonts
        state.PauseTiming();
        shop.DestroyWindow();
        Pump();
        state.ResumeTiming();
    }
    state.counters["added_rss_kb"] = static_cast<double>(addedKb);
    scene.UnloadScene();
    app.m_pMainWnd = nullptr;
    frame->DestroyWindow();
    Pump();
    g_pItemCatalog = nullptr;
    session.GetComm()->Disconnect();
    g_pSession = nullptr;
    g_pMainSkin = nullptr;
    ToolkitSetTableStrings(nullptr);
    GlobalLockDelete();
}
BENCHMARK(BM_OpenShopToFirstFrame)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

BENCHMARK_MAIN();
