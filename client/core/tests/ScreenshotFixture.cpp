#include "ScreenshotFixture.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace screenshot_test {

namespace {

const char* const kClass = "YondaScreenshotTest";

std::string Run(const std::string& command)
{
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe)
        return {};
    std::string out;
    char buffer[256];
    while (size_t read = std::fread(buffer, 1, sizeof buffer, pipe.get()))
        out.append(buffer, read);
    return out;
}

std::string Quoted(const std::filesystem::path& file)
{
    return "'" + file.string() + "'";
}

} // namespace

HWND MakeWindow(int x, int y, int width, int height, HWND parent)
{
    static const bool registered = [] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = kClass;
        return RegisterClassA(&windowClass) != 0;
    }();
    if (!registered)
        return nullptr;
    const DWORD style = (parent ? WS_CHILD : WS_POPUP) | WS_VISIBLE;
    return CreateWindowExA(0, kClass, "shot", style, x, y, width, height, parent, nullptr, nullptr, nullptr);
}

ShotDevice::ShotDevice(HWND window)
{
    m_d3d = Direct3DCreate8(D3D_SDK_VERSION);
    if (!m_d3d)
        return;
    D3DPRESENT_PARAMETERS params{};
    params.BackBufferFormat = D3DFMT_X8R8G8B8;
    params.BackBufferCount = 1;
    params.SwapEffect = D3DSWAPEFFECT_DISCARD;
    params.hDeviceWindow = window;
    params.Windowed = TRUE;
    params.EnableAutoDepthStencil = TRUE;
    params.AutoDepthStencilFormat = D3DFMT_D24S8;
    if (FAILED(m_d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, 0x24, &params, &m_device)))
        m_device = nullptr;
}

ShotDevice::~ShotDevice()
{
    if (m_device)
        m_device->Release();
    if (m_d3d)
        m_d3d->Release();
}

bool ShotDevice::Show(D3DCOLOR colour)
{
    return m_device && SUCCEEDED(m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, colour, 1.0f, 0)) &&
           SUCCEEDED(m_device->Present(nullptr, nullptr, nullptr, nullptr));
}

Decoded Identify(const std::filesystem::path& file)
{
    Decoded decoded;
    const std::string out = Run("identify -format '%w %h' " + Quoted(file) + " 2>/dev/null");
    if (std::sscanf(out.c_str(), "%d %d", &decoded.width, &decoded.height) != 2)
        decoded = Decoded{};
    return decoded;
}

long PixelAt(const std::filesystem::path& file, int x, int y)
{
    // One pixel as ImageMagick's text picture: "0,0: (r,g,b)  #RRGGBB  name".
    const std::string out = Run("convert " + Quoted(file) + " -crop 1x1+" + std::to_string(x) + "+" +
                                std::to_string(y) + " +repage -depth 8 txt:- 2>/dev/null");
    const size_t hash = out.find('#', out.find('\n'));
    if (hash == std::string::npos || out.size() < hash + 7)
        return -1;
    return std::strtol(out.substr(hash + 1, 6).c_str(), nullptr, 16);
}

bool Near(long rgb, D3DCOLOR expected, int tolerance)
{
    if (rgb < 0)
        return false;
    for (int shift = 0; shift < 24; shift += 8) {
        const int actual = static_cast<int>((rgb >> shift) & 255);
        const int wanted = static_cast<int>((expected >> shift) & 255);
        if (actual - wanted > tolerance || wanted - actual > tolerance)
            return false;
    }
    return true;
}

} // namespace screenshot_test
