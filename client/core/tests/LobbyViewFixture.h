// A member's program as far as the 3D lobby goes: the real session logged in to the real service
// on loopback, the real main frame with its 3D view (device, engine and render worker over the
// generated world), the avatar scene as start-up makes it, and the member standing in the
// square. Tests read the view's slots and the pictures its worker presents.
#pragma once

#include "ClientSession.h"
#include "MainFrame.h"
#include "ServiceHarness.h"

#include <gtest/gtest.h>
#include <yonda_d3d8.h>

#include <functional>
#include <optional>

namespace lobbyview {

class LobbyViewFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    // Delivers this thread's messages until the condition holds or the time is up; a quit that
    // anything posted meanwhile is remembered.
    bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 10000);
    void PumpFor(int ms);
    // The event as the frame receives it from the library (the session frees the block).
    void Receive(int type, LPARAM block);

    CD3DViewer& View() { return m_frame->m_wndView; }
    // Whether the member has a slot, and a copy of it.
    bool HasSlot(long user, AVATAR_SLOT* copy = nullptr);
    int SlotsInUse();
    // Where the member's avatar stands in the engine.
    D3DXVECTOR3 AvatarPosition(long user);

    // The next picture the worker presents after this call, or none within the time.
    std::optional<YondaPicture> NextPicture(int timeoutMs = 15000);
    // Pixels that differ by more than a little in any channel (idle motions move a few).
    static size_t CountDifferent(const YondaPicture& a, const YondaPicture& b);

    yonda::testing::ServiceHarness m_service{"lobby-view"};
    long m_kim = m_service.addMember("kim", "Kim");
    long m_lee = m_service.addMember("lee", "Lee");
    long m_park = m_service.addMember("park", "Park", 1000, true, 'F');
    CClientSession m_session;
    CMainFrame* m_frame = nullptr; // deletes itself with its window
    bool m_quitPosted = false;
};

} // namespace lobbyview
