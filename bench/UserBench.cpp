// Window system: posted messages through the queue, and repainting a full window of children.
#include <windows.h>
#include <yonda_user.h>

#include <benchmark/benchmark.h>

#include <vector>

namespace {

LRESULT CALLBACK CountingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    static thread_local long long count = 0;
    if (msg == WM_USER) {
        ++count;
        return 0;
    }
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        static HBRUSH brush = CreateSolidBrush(RGB(40, 120, 200));
        RECT rc;
        GetClientRect(hwnd, &rc);
        FillRect(dc, &rc, brush);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

void RegisterBenchClass()
{
    static bool done = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &CountingProc;
        wc.lpszClassName = "BenchWindow";
        return RegisterClassA(&wc) != 0;
    }();
    (void)done;
}

// Goal: 1,000,000 posted messages dispatched in under 1 s.
void PostedMessagesDispatched(benchmark::State& state)
{
    RegisterBenchClass();
    HWND hwnd = CreateWindowExA(0, "BenchWindow", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    const int count = static_cast<int>(state.range(0));
    for (auto _ : state) {
        for (int i = 0; i < count; ++i)
            PostMessageA(hwnd, WM_USER, i, 0);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }
    state.SetItemsProcessed(state.iterations() * count);
    DestroyWindow(hwnd);
}
BENCHMARK(PostedMessagesDispatched)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Goal: a 1024x768 top-level window with 40 children repainted and presented in under 4 ms.
void CompositeFullInvalidation(benchmark::State& state)
{
    RegisterBenchClass();
    HWND top = CreateWindowExA(0, "BenchWindow", "", WS_POPUP | WS_VISIBLE, 0, 0, 1024, 768, nullptr, nullptr, nullptr,
                               nullptr);
    for (int i = 0; i < 40; ++i)
        CreateWindowExA(0, "BenchWindow", "", WS_CHILD | WS_VISIBLE, (i % 8) * 120 + 10, (i / 8) * 140 + 10, 100, 120,
                        top, nullptr, nullptr, nullptr);
    std::vector<DWORD> presented(1024 * 768);
    MSG msg;
    for (auto _ : state) {
        RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        YondaGetWindowPixels(top, presented.data(), 1024, 768);
        benchmark::DoNotOptimize(presented.data());
    }
    DestroyWindow(top);
}
BENCHMARK(CompositeFullInvalidation)->Unit(benchmark::kMillisecond);

} // namespace
