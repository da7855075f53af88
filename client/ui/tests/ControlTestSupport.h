#pragma once
// What the control tests share: the generated skins, a pump for pending messages, and a parent
// window that records the toolkit's notifications in the order they arrive.
#include "MessagePump.h"
#include "PixelExpect.h"

#include <NotifyDlg.h>

#include <afxwin.h>
#include <yonda_user.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace yonda::uitest {

// The skin folder the build generated, written the way the client writes it (with '\').
inline CString SkinFolder(const char* skin = "Orange")
{
    const char* binary = std::getenv("YONDA_BINARY_DIR");
    const std::string root = (std::filesystem::path(binary ? binary : ".") / "yonda").string();
    return CString((root + "\\Skin\\" + skin).c_str());
}

using yonda::testing::Pump;
using yonda::testing::Rgb;

struct Note {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Note& o) const { return message == o.message && wParam == o.wParam; }
};

inline std::ostream& operator<<(std::ostream& os, const Note& n)
{
    return os << "{0x" << std::hex << n.message << std::dec << ", " << static_cast<long long>(n.wParam) << "}";
}

// A top-level window that keeps every message in [first, last] it is sent or posted.
class RecordingWnd : public CWnd {
public:
    RecordingWnd(UINT first, UINT last, int x = 100, int y = 100, int width = 400, int height = 400)
        : m_first(first), m_last(last)
    {
        CreateEx(0, AfxRegisterWndClass(CS_DBLCLKS), "recorder", WS_POPUP | WS_VISIBLE, x, y, width, height, nullptr,
                 nullptr);
    }
    ~RecordingWnd() override { DestroyWindow(); }

    std::vector<Note> notes;
    // Text handed over in lParam, copied while it is valid.
    std::vector<std::string> texts;
    bool lParamIsText = false;

    std::vector<UINT> Messages() const
    {
        std::vector<UINT> out;
        for (const Note& n : notes) {
            out.push_back(n.message);
        }
        return out;
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message >= m_first && message <= m_last) {
            notes.push_back({message, wParam, lParam});
            if (lParamIsText && lParam) {
                texts.emplace_back(reinterpret_cast<const char*>(lParam));
            }
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }

private:
    UINT m_first;
    UINT m_last;
};

// A point of a window's client area in screen coordinates.
inline POINT ScreenPoint(HWND hwnd, int x, int y)
{
    POINT p{x, y};
    ClientToScreen(hwnd, &p);
    return p;
}

inline void Press(HWND hwnd, int x, int y)
{
    const POINT p = ScreenPoint(hwnd, x, y);
    YondaInjectMouseMove(p.x, p.y);
    YondaInjectMouseButton(0, TRUE, p.x, p.y);
    Pump();
}

inline void MoveTo(HWND hwnd, int x, int y)
{
    const POINT p = ScreenPoint(hwnd, x, y);
    YondaInjectMouseMove(p.x, p.y);
    Pump();
}

inline void Release(HWND hwnd, int x, int y)
{
    const POINT p = ScreenPoint(hwnd, x, y);
    YondaInjectMouseButton(0, FALSE, p.x, p.y);
    Pump();
}

// 0x00RRGGBB of what a window shows at a client point.
inline unsigned Pixel(HWND hwnd, int x, int y)
{
    return Rgb(YondaGetWindowPixel(hwnd, x, y));
}

// 0x00RRGGBB of a bitmap's pixel.
inline unsigned BitmapPixel(HBITMAP bitmap, int x, int y)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return Rgb(c);
}

} // namespace yonda::uitest

namespace yonda::uitest {

// Runs `step` once from the message loop soon, whichever loop runs then (a modal one or the
// system's move loop included): how a test acts inside a loop it is about to start.
inline void SoonInLoop(std::function<void()> step)
{
    static std::map<UINT_PTR, std::function<void()>> pending;
    const UINT_PTR id = SetTimer(nullptr, 0, 1, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        auto found = pending.find(id);
        if (found == pending.end()) {
            return;
        }
        auto run = std::move(found->second);
        pending.erase(found);
        run();
    });
    pending[id] = std::move(step);
}

// Presses and lets go of a key at the focus window.
inline void Key(UINT vk)
{
    YondaInjectKey(vk, TRUE);
    YondaInjectKey(vk, FALSE);
}

// A drag with the left button from one screen point to another. The press is queued now; the
// move and the release come from inside the move loop the press starts, then `then` runs.
inline void QueueDrag(POINT from, POINT to, std::function<void()> then = nullptr)
{
    YondaInjectMouseMove(from.x, from.y);
    YondaInjectMouseButton(0, TRUE, from.x, from.y);
    SoonInLoop([to, then] {
        YondaInjectMouseMove(to.x, to.y);
        YondaInjectMouseButton(0, FALSE, to.x, to.y);
        if (then) {
            SoonInLoop(then);
        }
    });
}

// Answers each notify box that opens while `run` runs (Enter, or Escape with `no`) and gives back
// their texts ("layout NAME" for a box made from a layout).
inline std::vector<std::string> AnswerNotifyBoxes(const std::function<void()>& run, bool no = false)
{
    struct Watch {
        std::vector<std::string> texts;
        bool running = true;
        bool no = false;
        HWND answered = nullptr; // a box is answered once, however long it takes to go
    };
    auto watch = std::make_shared<Watch>();
    watch->no = no;
    struct Answerer {
        static void Next(std::shared_ptr<Watch> watch)
        {
            SoonInLoop([watch] {
                if (!watch->running) {
                    return;
                }
                auto* box = dynamic_cast<CNotifyDlg*>(CWnd::FromHandle(::GetActiveWindow()));
                if (box && box->GetSafeHwnd() != watch->answered) {
                    watch->answered = box->GetSafeHwnd();
                    watch->texts.push_back(box->m_bByText ? box->m_strText.Str() : "layout " + box->m_strSection.Str());
                    Key(watch->no ? VK_ESCAPE : VK_RETURN);
                }
                Next(watch);
            });
        }
    };
    Answerer::Next(watch);
    run();
    watch->running = false;
    Pump();
    return watch->texts;
}

} // namespace yonda::uitest
