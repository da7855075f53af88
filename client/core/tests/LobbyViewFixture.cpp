#include "LobbyViewFixture.h"

#include "AvatarScene.h"
#include "ClientGlobals.h"
#include "ItemCatalog.h"

#include "ProgramGlobals.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace lobbyview {

void LobbyViewFixture::SetUpTestSuite()
{
    programglobals::Make();
}

void LobbyViewFixture::TearDownTestSuite()
{
    programglobals::Free();
}

void LobbyViewFixture::SetUp()
{
    g_pSession = &m_session;
    g_pComm = m_session.GetComm();
    ASSERT_TRUE(m_session.LoadStringTable("StringTable.ini"));
    ASSERT_TRUE(m_session.GetComm()->Connect("127.0.0.1", m_service.port()));
    long user = 0;
    char flag = 0;
    ASSERT_TRUE(m_session.GetComm()->QueryLogin("kim", "pw", user, flag));
    m_session.m_OwnUser.lUser = user;
    m_session.m_OwnUser.bHasAvatar = flag == 'Y';
    std::strcpy(m_session.m_OwnUser.szID, "kim");
    ASSERT_EQ(m_session.ExecuteCommand(CMD_LOGIN_DONE, 0, 0), kCommandDone);
    // Start-up's order: the frame with its view (which creates the engine), the library's events
    // to the frame, then the avatar scene over the engine.
    m_frame = new CMainFrame;
    m_frame->m_pSession = &m_session;
    m_session.SetMainFrame(m_frame);
    ASSERT_TRUE(m_frame->CreateFrame(0, 0));
    ASSERT_EQ(m_session.GetSceneSink(), &View());
    m_session.GetComm()->SetNotifyWindow(m_frame);
    g_pItemCatalog = new CItemCatalog;
    new CAvatarScene;
    ASSERT_TRUE(g_pAvatarScene->InitScene());
    ASSERT_EQ(m_session.SendRequest(REQ_MY_AVATAR_INFO, 0, 0), kRequestAccepted);
    g_pAvatarScene->UnloadScene();
    // Into the square: the own entry comes back as an event and stands the member there.
    ASSERT_EQ(m_session.ExecuteCommand(CMD_ENTER_LOBBY, 0, 0), kCommandDone);
    ASSERT_TRUE(PumpUntil([&] { return HasSlot(m_kim); })) << "the own avatar never stood in the square";
}

void LobbyViewFixture::TearDown()
{
    // The library stops posting first; the events it posted before and nobody handled (the
    // leaves of other members who have gone) give their blocks back as the library says.
    m_session.GetComm()->Disconnect();
    MSG message;
    while (::PeekMessageA(&message, nullptr, UM_COMM_EVENT, UM_COMM_EVENT, PM_REMOVE)) {
        YondaFreeEventBlock(message.message, message.wParam, message.lParam);
    }
    if (m_frame && ::IsWindow(m_frame->GetSafeHwnd())) {
        m_frame->DestroyWindow();
    }
    m_frame = nullptr;
    m_session.SetMainFrame(nullptr);
    m_session.SetSceneSink(nullptr);
    delete g_pAvatarScene;
    delete g_pItemCatalog;
    g_pItemCatalog = nullptr;
    g_pSession = nullptr;
    g_pComm = nullptr;
    YondaD3D8ForgetPresentedPictures();
}

bool LobbyViewFixture::PumpUntil(const std::function<bool()>& done, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                m_quitPosted = true;
                continue;
            }
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

void LobbyViewFixture::PumpFor(int ms)
{
    PumpUntil([] { return false; }, ms);
}

void LobbyViewFixture::Receive(int type, LPARAM block)
{
    m_frame->SendMessage(UM_COMM_EVENT, static_cast<WPARAM>(type), block);
}

bool LobbyViewFixture::HasSlot(long user, AVATAR_SLOT* copy)
{
    return View().GetAvatarSlot(user, copy) < kAvatarSlotCount;
}

int LobbyViewFixture::SlotsInUse()
{
    CGlobalLock lock;
    int count = 0;
    for (const AVATAR_SLOT& slot : View().m_slots) {
        count += slot.byInUse ? 1 : 0;
    }
    return count;
}

D3DXVECTOR3 LobbyViewFixture::AvatarPosition(long user)
{
    AVATAR_SLOT slot;
    CGlobalLock lock;
    if (!HasSlot(user, &slot) || !View().m_pScene) {
        return D3DXVECTOR3(0, 0, 0);
    }
    D3DXMATRIX placed;
    View().m_pScene->GetAvatarMatrix(slot.hAvatar, placed);
    return D3DXVECTOR3(placed._41, placed._42, placed._43);
}

std::optional<YondaPicture> LobbyViewFixture::NextPicture(int timeoutMs)
{
    YondaD3D8ForgetPresentedPictures();
    YondaPicture picture;
    if (!PumpUntil([&] { return YondaD3D8GetPresentedPicture(View().GetSafeHwnd(), &picture) != FALSE; }, timeoutMs)) {
        return std::nullopt;
    }
    return picture;
}

size_t LobbyViewFixture::CountDifferent(const YondaPicture& a, const YondaPicture& b)
{
    if (a.width != b.width || a.height != b.height) {
        return a.pixels.size() + b.pixels.size();
    }
    size_t count = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i) {
        for (int shift = 0; shift < 24; shift += 8) {
            const int pa = static_cast<int>((a.pixels[i] >> shift) & 0xFF);
            const int pb = static_cast<int>((b.pixels[i] >> shift) & 0xFF);
            if (std::abs(pa - pb) > 24) {
                ++count;
                break;
            }
        }
    }
    return count;
}

} // namespace lobbyview
