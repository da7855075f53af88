#include "Presentation.h"

#include <algorithm>
#include <map>
#include <mutex>

#include "yonda_present.h"

namespace yonda::d3d8 {
namespace {

std::mutex g_mutex;
YondaPresentTarget* g_target = nullptr;
struct Shown {
    YondaPicture last;
    std::vector<DWORD> spare;
};
std::map<HWND, Shown> g_pictures;
// A size set by a test; zero follows the screen.
SIZE g_displaySize = {0, 0};

} // namespace

void DeliverPicture(HWND window, YondaPicture&& picture)
{
    YondaPresentTarget* target;
    {
        std::lock_guard lock(g_mutex);
        target = g_target;
    }
    // Called unlocked: the window system may read pictures back from inside.
    if (target && window && !picture.pixels.empty()) {
        target->PresentToWindow(window, picture.pixels.data(), int(picture.width), int(picture.height),
                                int(picture.width * 4));
    }
    std::lock_guard lock(g_mutex);
    Shown& shown = g_pictures[window];
    shown.spare = std::move(shown.last.pixels);
    shown.last = std::move(picture);
}

std::vector<DWORD> SpareBuffer(HWND window)
{
    std::lock_guard lock(g_mutex);
    auto it = g_pictures.find(window);
    return it == g_pictures.end() ? std::vector<DWORD>{} : std::move(it->second.spare);
}

bool LastPicture(HWND window, YondaPicture* picture)
{
    std::lock_guard lock(g_mutex);
    auto it = g_pictures.find(window);
    if (it == g_pictures.end())
        return false;
    *picture = it->second.last;
    return true;
}

namespace {

YondaPresentTarget* CurrentTarget()
{
    std::lock_guard lock(g_mutex);
    return g_target;
}

} // namespace

bool WindowClientSize(HWND window, SIZE* size)
{
    YondaPresentTarget* target = CurrentTarget();
    return target && window && target->GetClientSize(window, size);
}

bool WindowClientOrigin(HWND window, POINT* origin)
{
    YondaPresentTarget* target = CurrentTarget();
    return target && window && target->GetClientOrigin(window, origin);
}

D3DDISPLAYMODE DisplayMode()
{
    SIZE size;
    {
        std::lock_guard lock(g_mutex);
        size = g_displaySize;
    }
    // The screen is asked with no lock of ours held: the first question may start the display,
    // which registers its present target here.
    if (size.cx <= 0 || size.cy <= 0)
        size = SIZE{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return D3DDISPLAYMODE{UINT(std::max<LONG>(size.cx, 1)), UINT(std::max<LONG>(size.cy, 1)), 60, D3DFMT_X8R8G8B8};
}

} // namespace yonda::d3d8

using namespace yonda::d3d8;

void YondaSetPresentTarget(YondaPresentTarget* target)
{
    std::lock_guard lock(g_mutex);
    g_target = target;
}

BOOL YondaD3D8GetPresentedPicture(HWND hwnd, YondaPicture* picture)
{
    if (!picture)
        return FALSE;
    return LastPicture(hwnd, picture) ? TRUE : FALSE;
}

void YondaD3D8ForgetPresentedPictures()
{
    std::lock_guard lock(g_mutex);
    g_pictures.clear();
}

void YondaD3D8SetDisplayMode(UINT width, UINT height)
{
    std::lock_guard lock(g_mutex);
    if (width > 0 && height > 0)
        g_displaySize = SIZE{LONG(width), LONG(height)};
    else
        g_displaySize = SIZE{0, 0};
}
