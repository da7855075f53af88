#pragma once
// A real Direct3D device drawing into a window of known size and place, and saved pictures read
// back by ImageMagick, a decoder of their own.
#include <d3d8.h>
#include <windows.h>

#include <filesystem>
#include <string>

namespace screenshot_test {

// A window of the platform's window system: top-level (WS_POPUP, so its client area is all of
// it) or a child of `parent` at (x, y) of the parent's client area.
HWND MakeWindow(int x, int y, int width, int height, HWND parent = nullptr);

// A device on `window` at its client size; Show clears the frame to a colour and presents it.
class ShotDevice {
public:
    explicit ShotDevice(HWND window);
    ~ShotDevice();
    ShotDevice(const ShotDevice&) = delete;
    ShotDevice& operator=(const ShotDevice&) = delete;

    IDirect3DDevice8* get() const { return m_device; }
    bool Show(D3DCOLOR colour);

private:
    IDirect3D8* m_d3d = nullptr;
    IDirect3DDevice8* m_device = nullptr;
};

struct Decoded {
    int width = 0;
    int height = 0;
};
// What `identify` says of the file: width and height, both 0 when it cannot read it.
Decoded Identify(const std::filesystem::path& file);
// The colour at (x, y) as 0xRRGGBB, read by `convert`; -1 when it cannot be read.
long PixelAt(const std::filesystem::path& file, int x, int y);
// Whether each of red, green and blue is within `tolerance` (JPEG moves colours a little).
bool Near(long rgb, D3DCOLOR expected, int tolerance);

} // namespace screenshot_test
