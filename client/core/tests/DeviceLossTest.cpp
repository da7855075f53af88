// The 3D view's lost-device cycle with the render worker drawing the square: a device lost in the
// middle of frames, and a device whose resets are refused for a while. Drawing stops while the
// device is gone, the GUI thread keeps handling messages (members still join), and the view comes
// back with the world, the avatars and the fonts made again.
#include "LobbyViewFixture.h"

#include "EventBlocks.h"

#include <atomic>
#include <chrono>
#include <random>
#include <thread>

using namespace lobbyview;

namespace {

// A window of the GUI thread that counts what it is sent: the previews' stand-in.
class CountingWindow : public CWnd {
public:
    BOOL Make() { return CreateEx(0, "Static", "preview", WS_POPUP, CRect(0, 0, 8, 8), nullptr, 0); }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == CD3DViewer::kDeviceLost || message == CD3DViewer::kDeviceRestored) {
            heard.push_back(message);
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
    std::vector<UINT> heard;
};

class DeviceLoss : public LobbyViewFixture {};

} // namespace

TEST_F(DeviceLoss, ADeviceLostDuringFramesComesBackWithTheSquareAndItsAvatars)
{
    auto before = NextPicture();
    ASSERT_TRUE(before) << "the worker never drew the square";
    CountingWindow preview;
    ASSERT_TRUE(preview.Make());
    View().AddPreviewWindow(preview.GetSafeHwnd());
    IDirect3DDevice8* device = View().m_pDevice;
    std::mt19937 dice(7);
    for (int round = 0; round < 4; ++round) {
        // The loss lands at any moment of the worker's frames, from a thread of its own.
        const int delayMs = static_cast<int>(dice() % 40);
        const UINT lostAnswers = 1 + dice() % 3;
        std::thread taker([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
            YondaD3D8LoseDevice(device, lostAnswers);
        });
        PumpFor(delayMs + 5);
        taker.join();
        // Once the preview has heard the device is back, every frame drawn is a new one.
        ASSERT_TRUE(PumpUntil([&] { return preview.heard.size() == 2u * (round + 1); })) << "no recovery " << round;
        auto after = NextPicture();
        ASSERT_TRUE(after) << "no frame after loss " << round;
        // The same square and the same member standing in it: only idle motions differ.
        EXPECT_LT(CountDifferent(*before, *after), before->pixels.size() / 20) << "round " << round;
        EXPECT_EQ(View().m_bDeviceOk.load(), 1);
    }
    // Each loss told the preview once that the device went and once that it came back.
    const std::vector<UINT> cycle = {CD3DViewer::kDeviceLost, CD3DViewer::kDeviceRestored};
    ASSERT_EQ(preview.heard.size(), 8u);
    for (size_t i = 0; i < preview.heard.size(); ++i) {
        EXPECT_EQ(preview.heard[i], cycle[i % 2]);
    }
    View().RemovePreviewWindow(preview.GetSafeHwnd());
    preview.DestroyWindow();
}

TEST_F(DeviceLoss, WhileResetsAreRefusedNothingIsDrawnButMembersStillArriveAndAreDrawnAfter)
{
    auto alone = NextPicture();
    ASSERT_TRUE(alone);
    const D3DXVECTOR3 own = AvatarPosition(m_kim);
    CountingWindow preview;
    ASSERT_TRUE(preview.Make());
    View().AddPreviewWindow(preview.GetSafeHwnd());
    IDirect3DDevice8* device = View().m_pDevice;
    ASSERT_EQ(YondaD3D8RefuseResets(device, 1000000), D3D_OK);
    ASSERT_EQ(YondaD3D8LoseDevice(device, 1), D3D_OK);
    ASSERT_TRUE(PumpUntil([&] { return View().m_bDeviceOk.load() == 0; }));
    YondaD3D8ForgetPresentedPictures();
    // A member comes in and stands beside the own avatar while the screen is taken: the GUI
    // thread handles the events and the view loads the avatar meanwhile.
    Receive(EV_USER_ENTERED, eventblocks::EntryEvent(0, -1, 900, "Near", 'F'));
    ASSERT_TRUE(HasSlot(900));
    const float beside[6] = {own.x + 14.0f, own.y, own.z, 0.0f, 0.0f, 1.0f};
    Receive(EV_USER_PLACE, eventblocks::PlaceEvent(900, beside));
    PumpFor(400); // a dozen refused resets
    YondaPicture none;
    EXPECT_FALSE(YondaD3D8GetPresentedPicture(View().GetSafeHwnd(), &none)) << "a frame was presented on a lost device";
    EXPECT_EQ(View().m_bDeviceOk.load(), 0);
    // The screen comes back: the next reset succeeds and the newcomer is drawn.
    ASSERT_EQ(YondaD3D8RefuseResets(device, 0), D3D_OK);
    auto together = NextPicture();
    ASSERT_TRUE(together) << "the view never came back";
    Receive(EV_USER_LEFT, eventblocks::Block(eventblocks::Bytes(4, 900)));
    EXPECT_FALSE(HasSlot(900));
    auto without = NextPicture();
    ASSERT_TRUE(without);
    EXPECT_GT(CountDifferent(*together, *without), 400u) << "the member who came during the loss was not drawn";
    EXPECT_LT(CountDifferent(*alone, *without), alone->pixels.size() / 20);
    // However many resets failed, the preview heard of the loss once and of the return once.
    EXPECT_EQ(preview.heard, (std::vector<UINT>{CD3DViewer::kDeviceLost, CD3DViewer::kDeviceRestored}));
    View().RemovePreviewWindow(preview.GetSafeHwnd());
    preview.DestroyWindow();
    EXPECT_FALSE(m_quitPosted);
}
