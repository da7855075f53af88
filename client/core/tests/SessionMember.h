// One member's program for tests against the real service: a session logged in through the
// network library, its frame (of the test's own kind) receiving the events; and pumping until an
// event has had its effect.
#pragma once

#include <ClientSession.h>

#include <afxwin.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <thread>

namespace sessionmember {

// Pumps this thread's messages until the condition holds or the time is up.
inline bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 3000)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

template <class Frame>
struct Member {
    CClientSession session;
    Frame* frame = new Frame; // deletes itself with its window

    Member(int port, const char* login)
    {
        frame->CreateFrame(0, 0);
        frame->m_pSession = &session;
        session.SetMainFrame(frame);
        session.LoadStringTable("StringTable.ini");
        EXPECT_TRUE(session.GetComm()->Connect("127.0.0.1", port));
        long user = 0;
        char flag = 0;
        EXPECT_TRUE(session.GetComm()->QueryLogin(login, "pw", user, flag));
        session.m_OwnUser.lUser = user;
        session.m_OwnUser.bHasAvatar = flag == 'Y';
        std::strncpy(session.m_OwnUser.szID, login, sizeof(session.m_OwnUser.szID) - 1);
        session.GetComm()->SetNotifyWindow(frame);
        EXPECT_EQ(session.ExecuteCommand(CMD_LOGIN_DONE, 0, 0), kCommandDone);
    }
    ~Member()
    {
        session.GetComm()->Disconnect();
        session.SetMainFrame(nullptr);
        frame->DestroyWindow();
    }
    int RoomUserCount()
    {
        CGlobalLock lock;
        return static_cast<int>(session.m_listRoomUsers.GetCount());
    }
};

} // namespace sessionmember
