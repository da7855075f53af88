// The network library against the real service on loopback: queries fill the records at the
// client's offsets, events reach the notify window as posted messages with blocks the client
// frees, in order, also those that came before the window was given, and a window that stops
// reading holds a bounded number of them without losing the member's own.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sys/socket.h>
#include <thread>

#include "ServiceHarness.h"
#include "YondaComm.h"

#include <afxwin.h>

using namespace yonda;
using namespace yonda::proto;
using yonda::testing::ServiceHarness;

namespace {

// A window of the test's thread that collects what the library posts to it.
class NotifyWindow {
public:
    NotifyWindow()
    {
        static bool registered = false;
        if (!registered) {
            WNDCLASSA windowClass{};
            windowClass.lpfnWndProc = DefWindowProcA;
            windowClass.lpszClassName = "YondaCommTestWindow";
            RegisterClassA(&windowClass);
            registered = true;
        }
        m_window = CreateWindowExA(0, "YondaCommTestWindow", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    }
    ~NotifyWindow()
    {
        MSG message;
        while (PeekMessageA(&message, m_window, 0, 0, PM_REMOVE))
            YondaFreeEventBlock(message.message, message.wParam, message.lParam);
        DestroyWindow(m_window);
    }
    HWND handle() const { return m_window; }

    // The next message the library posted with that message number (others are freed), or none.
    std::optional<MSG> next(UINT wanted, int type = -1, int timeoutMs = 3000)
    {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (std::chrono::steady_clock::now() < deadline) {
            MSG message;
            if (!PeekMessageA(&message, m_window, 0, 0, PM_REMOVE)) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                continue;
            }
            if (message.message == wanted && (type < 0 || static_cast<int>(message.wParam & 0xFF) == type))
                return message;
            YondaFreeEventBlock(message.message, message.wParam, message.lParam);
        }
        return std::nullopt;
    }

private:
    HWND m_window = nullptr;
};

// Frees a delivered message's block at the end of a scope, as the client does on every path.
struct Delivered {
    MSG message;
    ~Delivered() { YondaFreeEventBlock(message.message, message.wParam, message.lParam); }
    const BYTE* block() const { return reinterpret_cast<const BYTE*>(message.lParam); }
    CPtrList& list() const { return *reinterpret_cast<CPtrList*>(message.lParam); }
};

int32_t readLong(const BYTE* block, size_t offset)
{
    int32_t value;
    std::memcpy(&value, block + offset, sizeof value);
    return value;
}

struct Library : ::testing::Test {
    ServiceHarness service{"library"};
    NotifyWindow window;
    CYondaComm comm;
    long user = 0;

    void SetUp() override
    {
        service.addMember("kim", "Kim", 500);
        service.addMember("lee", "Lee");
        ASSERT_TRUE(comm.Connect("127.0.0.1", service.port()));
        char flag = 0;
        ASSERT_TRUE(comm.QueryLogin("kim", "pw", user, flag));
        EXPECT_EQ(flag, 'Y');
    }
};

} // namespace

TEST_F(Library, RefusedQueriesAnswerZeroAndLeaveTheirOutputsAlone)
{
    CYondaComm other;
    ASSERT_TRUE(other.Connect("127.0.0.1", service.port()));
    long number = 77;
    char flag = 'x';
    EXPECT_FALSE(other.QueryLogin("kim", "wrong", number, flag));
    EXPECT_EQ(number, 77);
    EXPECT_EQ(flag, 'x');
    long points = 5;
    EXPECT_FALSE(other.QueryPointGetUserPoint(points)); // not logged in
    EXPECT_EQ(points, 5);
    EXPECT_FALSE(comm.QueryModRoomHost(0, 12345)); // not a host anywhere
    short lobby = 9, room = 9;
    EXPECT_FALSE(comm.QueryUserLocation(99999, lobby, room));
    EXPECT_EQ(lobby, 9);
    EXPECT_FALSE(comm.Connect("127.0.0.1", 1)); // nothing listens there
}

TEST_F(Library, RecordsSitAtTheClientsOffsets)
{
    EX_YONDA_BODY_R_USER_INFO info{};
    ASSERT_TRUE(comm.QueryUserInfo(user, info));
    const BYTE* bytes = reinterpret_cast<const BYTE*>(&info);
    EXPECT_EQ(readLong(bytes, 0), user);
    EXPECT_STREQ(reinterpret_cast<const char*>(bytes + 4), "kim");
    EXPECT_STREQ(reinterpret_cast<const char*>(bytes + 26), "Kim");
    EXPECT_EQ(bytes[58], 'M');
    EXPECT_EQ(bytes[59], 25);
    EXPECT_STREQ(reinterpret_cast<const char*>(bytes + 60), "1");

    CPtrList avatar;
    ASSERT_TRUE(comm.QueryAvataInfo(user, avatar));
    ASSERT_EQ(avatar.GetCount(), 3);
    const BYTE* head = static_cast<const BYTE*>(avatar.GetHead());
    EXPECT_STREQ(reinterpret_cast<const char*>(head), "Kim");
    EXPECT_EQ(head[32], 'M');
    EXPECT_EQ(head[35], 2);
    const char* item = static_cast<const char*>(avatar.GetTail());
    EXPECT_EQ(item[0], '2');
    EXPECT_EQ(std::atoi(item + 1), 9);
    EXPECT_EQ(std::atoi(item + 5), 0);
    comm.Release(&avatar);
    EXPECT_TRUE(avatar.IsEmpty());
}

TEST_F(Library, EventsBeforeTheWindowWaitAndArriveInOrder)
{
    CYondaComm lee;
    ASSERT_TRUE(lee.Connect("127.0.0.1", service.port()));
    long leeUser = 0;
    char flag = 0;
    ASSERT_TRUE(lee.QueryLogin("lee", "pw", leeUser, flag));
    CPtrList worn;
    short lobby = 0, room = 0, third = 0;
    ASSERT_TRUE(comm.QueryRoomJoin(0, -1, "", 'M', '1', '0', '0', '0', '0', 0, worn, lobby, room, third));
    EXPECT_EQ(lobby, 0);
    EXPECT_EQ(room, -1);
    EXPECT_EQ(third, -1);
    ASSERT_TRUE(lee.QueryRoomJoin(0, -1, "", 'M', '0', '0', '0', '0', '0', 0, worn, lobby, room, third));
    ASSERT_TRUE(lee.QueryChatSend(0, 3, 7, "hello"));
    ASSERT_TRUE(lee.QuerySendInstantMessage("kim", "psst"));

    comm.SetNotifyHwnd(window.handle());
    auto own = window.next(UM_COMM_EVENT, 135);
    ASSERT_TRUE(own);
    Delivered ownEntry{*own};
    ASSERT_EQ(ownEntry.list().GetCount(), 1); // no worn items were sent
    const BYTE* head = static_cast<const BYTE*>(ownEntry.list().GetHead());
    EXPECT_EQ(readLong(head, 8), user);
    EXPECT_EQ(head[67], '1');

    auto other = window.next(UM_COMM_EVENT, 135);
    ASSERT_TRUE(other);
    Delivered otherEntry{*other};
    ASSERT_EQ(otherEntry.list().GetCount(), 1);
    head = static_cast<const BYTE*>(otherEntry.list().GetHead());
    EXPECT_EQ(readLong(head, 8), leeUser);
    EXPECT_STREQ(reinterpret_cast<const char*>(head + 12), "lee");
    EXPECT_STREQ(reinterpret_cast<const char*>(head + 34), "Lee");

    auto chat = window.next(UM_COMM_EVENT, 137);
    ASSERT_TRUE(chat);
    Delivered line{*chat};
    EXPECT_EQ(readLong(line.block(), 0), leeUser);
    EXPECT_EQ(line.block()[4], 3);
    EXPECT_EQ(line.block()[5], 7);
    EXPECT_STREQ(reinterpret_cast<const char*>(line.block() + 6), "hello");

    auto message = window.next(UM_COMM_MESSAGE, 128);
    ASSERT_TRUE(message);
    Delivered received{*message};
    EXPECT_EQ(readLong(received.block(), 0), leeUser);
    EXPECT_STREQ(reinterpret_cast<const char*>(received.block() + 4), "lee");
    EXPECT_STREQ(reinterpret_cast<const char*>(received.block() + 58), "psst");
}

TEST_F(Library, ALostConnectionIsPostedOnceAndADisconnectNever)
{
    comm.SetNotifyHwnd(window.handle());
    CYondaComm leaving;
    NotifyWindow quiet;
    ASSERT_TRUE(leaving.Connect("127.0.0.1", service.port()));
    leaving.SetNotifyHwnd(quiet.handle());
    leaving.Disconnect();
    EXPECT_FALSE(leaving.IsConnected());
    EXPECT_FALSE(leaving.IsValidSocket());

    EXPECT_TRUE(comm.IsValidSocket());
    service.stop();
    auto closed = window.next(UM_SOCKET_CLOSED);
    ASSERT_TRUE(closed);
    EXPECT_FALSE(comm.IsValidSocket());
    EXPECT_FALSE(comm.IsConnected());
    EXPECT_FALSE(window.next(UM_SOCKET_CLOSED, -1, 100));
    EXPECT_FALSE(quiet.next(UM_SOCKET_CLOSED, -1, 100));
    long points = 0;
    EXPECT_FALSE(comm.QueryPointGetUserPoint(points));
}

TEST_F(Library, PurchasesUseTheServicesBalance)
{
    long points = 0;
    ASSERT_TRUE(comm.QueryPointGetUserPoint(points));
    EXPECT_EQ(points, 500);
    EX_YONDA_BODY_Q_MYITEM_ADD coat{'M', '2', "002", "00", 1, 'N'};
    long believed = 999999;
    EXPECT_FALSE(comm.QueryPointAddMyItem(&coat, believed));
    EXPECT_EQ(believed, 999999);
    EX_YONDA_BODY_Q_MYITEM_ADD shirt{'M', '2', "001", "00", 1, 'N'};
    ASSERT_TRUE(comm.QueryPointAddMyItem(&shirt, believed));
    EXPECT_EQ(believed, 200);

    CPtrList items;
    ASSERT_TRUE(comm.QueryMyItemList(items));
    bool found = false;
    POSITION position = items.GetHeadPosition();
    while (position) {
        const char* element = static_cast<const char*>(items.GetNext(position));
        if (element[19] == '2' && std::atoi(element + 20) == 1) {
            found = true;
            EXPECT_EQ(std::strlen(element), 16u);
            EXPECT_EQ(element[18], 'M');
            EXPECT_EQ(element[24], '0');
            EXPECT_EQ(element[28], 'N');
            EXPECT_TRUE(comm.QueryUserItemChange(element, 'Y'));
        }
    }
    EXPECT_TRUE(found);
    // The caller may also free the elements one by one.
    while (!items.IsEmpty())
        CComm::FreeElement(items.RemoveHead());
}

TEST_F(Library, RoomsListsAndMembersComeAsLibraryMadeElements)
{
    YONDA_BODY_Q_ROOM_OPEN request{};
    request.nLobby = 2;
    std::strcpy(request.szName, "Study");
    std::strcpy(request.szSubject, "maths");
    request.byMaxUsers = 6;
    short room = 0, lobby = 0;
    ASSERT_TRUE(comm.RoomOpen(&request, room, lobby));
    EXPECT_EQ(room, 1);
    EXPECT_EQ(lobby, 2);

    CPtrList rooms;
    ASSERT_TRUE(comm.QueryLobbyRoomList(2, 0, rooms));
    ASSERT_EQ(rooms.GetCount(), 1);
    const auto* element = static_cast<const YONDA_ROOM_LIST_ELEMENT*>(rooms.GetHead());
    EXPECT_STREQ(element->room.szName, "Study");
    EXPECT_EQ(element->room.byUsers, 1);
    EXPECT_EQ(element->room.byMaxUsers, 6);
    EXPECT_STREQ(element->szHostNickname, "Kim");
    comm.Release(&rooms);

    CPtrList members;
    ASSERT_TRUE(comm.QueryRoomUsers(2, room, members));
    ASSERT_EQ(members.GetCount(), 2); // the header first
    const auto* member = static_cast<const YONDA_ROOM_USER_ELEMENT*>(members.GetTail());
    EXPECT_EQ(member->lUser, user);
    EXPECT_EQ(member->cRole, 'H');
    comm.Release(&members);

    EX_YONDA_BODY_R_ROOM_INFO info{};
    ASSERT_TRUE(comm.QueryRoomInfo(2, -1, info));
    EXPECT_EQ(info.cLobbyArea, 'W');
    int count = 0;
    ASSERT_TRUE(comm.QueryLobbyTotalUser(2, count));
    EXPECT_EQ(count, 1);
}

TEST_F(Library, TheAvatarPictureTravelsInPieces)
{
    auto path = service.folder() / "capture.jpg";
    std::vector<char> picture(150000);
    for (size_t i = 0; i < picture.size(); ++i)
        picture[i] = static_cast<char>(i * 7);
    std::ofstream(path, std::ios::binary).write(picture.data(), static_cast<std::streamsize>(picture.size()));
    ASSERT_TRUE(comm.UploadAvatarImage("kim", path.string().c_str()));
    auto stored = service.store().image("kim");
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->size(), picture.size());
    EXPECT_TRUE(std::equal(stored->begin(), stored->end(), reinterpret_cast<const uint8_t*>(picture.data())));
    EXPECT_FALSE(comm.UploadAvatarImage("lee", path.string().c_str())); // only one's own
    EXPECT_FALSE(comm.UploadAvatarImage("kim", (service.folder() / "missing.jpg").string().c_str()));

    // Anyone may fetch it back whole, in the same pieces; a member without one gives no file.
    const auto fetched = service.folder() / "fetched.jpg";
    ASSERT_TRUE(comm.QueryAvatarImage(user, fetched.string().c_str()));
    std::ifstream in(fetched, std::ios::binary);
    std::vector<char> back((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(back, picture);
    EXPECT_FALSE(std::filesystem::exists(fetched.string() + ".part"));
    const auto none = service.folder() / "none.jpg";
    const long lee = service.store().accountByLogin("lee")->user;
    EXPECT_FALSE(comm.QueryAvatarImage(lee, none.string().c_str()));
    EXPECT_FALSE(std::filesystem::exists(none));
    EXPECT_FALSE(std::filesystem::exists(none.string() + ".part"));

    // A picture larger than the service takes is not sent, and the one stored stays.
    const auto large = service.folder() / "large.jpg";
    std::ofstream(large, std::ios::binary).write(std::vector<char>(300 * 1024, 'x').data(), 300 * 1024);
    EXPECT_FALSE(comm.UploadAvatarImage("kim", large.string().c_str()));
    EXPECT_EQ(service.store().image("kim")->size(), picture.size());
}

TEST_F(Library, TheNotifyWindowMayBeGivenAsAWindowObject)
{
    CWnd* notify = CWnd::FromHandle(window.handle());
    ASSERT_NE(notify, nullptr);
    comm.SetNotifyWindow(notify);
    service.stop();
    EXPECT_TRUE(window.next(UM_SOCKET_CLOSED));
}

TEST(BusyWindow, HoldsABoundedBacklogAndKeepsWhatIsTheMembersOwn)
{
    service::Limits limits; // a crowd's chat, not one member's: no typing limit here
    limits.framesPerSecond = limits.frameBurst = 1e6;
    limits.chatPerSecond = limits.chatBurst = 1e6;
    limits.maxQueuedOutput = 64u << 20;
    ServiceHarness service("busy-window", limits, "127.0.0.50");
    service.addMember("kim", "Kim");
    service.addMember("lee", "Lee");
    NotifyWindow window; // this thread reads its queue only at the end
    CYondaComm comm;
    ASSERT_TRUE(comm.Connect("127.0.0.50", service.port()));
    long user = 0;
    char flag = 0;
    ASSERT_TRUE(comm.QueryLogin("kim", "pw", user, flag));
    comm.SetNotifyHwnd(window.handle());
    CPtrList worn;
    short lobby = 0, room = 0, third = 0;
    ASSERT_TRUE(comm.QueryRoomJoin(0, -1, "", 'M', '0', '0', '0', '0', '0', 0, worn, lobby, room, third));

    yonda::testing::TestClient lee;
    lee.host = "127.0.0.50";
    ASSERT_GT(lee.login(service.port(), "lee"), 0);
    ASSERT_EQ(lee.join(0, -1), Ok);
    // Fifteen thousand lines at once; Lee's own echoes are read away on another thread.
    int fd = yonda::testing::rawConnection("127.0.0.50", service.port());
    ASSERT_GE(fd, 0);
    constexpr uint32_t kLastLine = 4 + 14999;
    std::atomic<bool> floodDone{false};
    std::thread drain([fd, &floodDone] {
        wire::FrameAssembler frames;
        uint8_t buffer[65536];
        for (ssize_t count; (count = recv(fd, buffer, sizeof buffer, 0)) > 0;) {
            frames.append(buffer, static_cast<size_t>(count));
            while (auto frame = frames.next()) {
                auto head = decodeReplyHead(frame->data(), frame->size());
                if ((*frame)[1] == Chat && head && head->id == kLastLine)
                    floodDone = true;
            }
        }
    });
    std::vector<uint8_t> stream;
    auto add = [&](wire::Writer& writer) {
        auto bytes = writer.finish();
        stream.insert(stream.end(), bytes.begin(), bytes.end());
    };
    wire::Writer hello(Hello);
    hello.u32(1).u16(kVersion);
    add(hello);
    wire::Writer login(Login);
    login.u32(2).text("lee", kIdWidth).text("pw", kLoginPasswordWidth);
    add(login);
    ASSERT_EQ(send(fd, stream.data(), stream.size(), MSG_NOSIGNAL), static_cast<ssize_t>(stream.size()));
    ASSERT_TRUE(lee.waitLost(5000)); // the raw connection took Lee's place; join it to the lobby
    stream.clear();
    wire::Writer join(RoomJoin);
    join.u32(3).i16(0).i16(-1).text("", kRoomPasswordWidth).ch('M').ch('0').ch('0').ch('0').ch('0').ch('0').u8(0).u8(0);
    add(join);
    for (uint32_t i = 0; i < 15000; ++i) {
        wire::Writer line(Chat);
        line.u32(4 + i).i16(0).u8(0).u8(0).text("line " + std::to_string(i), kChatWidth);
        add(line);
    }
    ASSERT_EQ(send(fd, stream.data(), stream.size(), MSG_NOSIGNAL), static_cast<ssize_t>(stream.size()));

    // Once Lee's last line is answered, all of them are on their way to Kim: Kim's own line
    // comes after them, through the backlog.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!floodDone && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_TRUE(floodDone);
    ASSERT_TRUE(comm.QueryChatSend(0, 0, 0, "my own line"));
    stream.clear();
    wire::Writer message(InstantMessage);
    message.u32(90000).text("kim", kIdWidth).text("are you there?", kMessageWidth);
    add(message);
    wire::Writer exit(RoomExit);
    exit.u32(90001).i16(0);
    add(exit);
    ASSERT_EQ(send(fd, stream.data(), stream.size(), MSG_NOSIGNAL), static_cast<ssize_t>(stream.size()));
    int marker = 0;
    ASSERT_TRUE(comm.QueryLobbyTotalUser(0, marker)); // every event before this answer is handed over
    std::this_thread::sleep_for(std::chrono::milliseconds(200));

    int total = 0, chats = 0;
    bool ownLine = false, instantMessage = false, leeLeft = false;
    MSG posted;
    auto quiet = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - quiet < std::chrono::milliseconds(300)) {
        if (!PeekMessageA(&posted, window.handle(), 0, 0, PM_REMOVE)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            continue;
        }
        quiet = std::chrono::steady_clock::now();
        ++total;
        const BYTE* block = reinterpret_cast<const BYTE*>(posted.lParam);
        if (posted.message == UM_COMM_EVENT && (posted.wParam & 0xFF) == 137) {
            ++chats;
            ownLine |= readLong(block, 0) == user;
        }
        instantMessage |= posted.message == UM_COMM_MESSAGE && (posted.wParam & 0xFF) == 128;
        leeLeft |= posted.message == UM_COMM_EVENT && (posted.wParam & 0xFF) == 136;
        YondaFreeEventBlock(posted.message, posted.wParam, posted.lParam);
    }
    EXPECT_GE(total, 10000); // the window's queue was full...
    EXPECT_LE(total, 12100); // ...and the library held no more than its backlog besides
    EXPECT_LT(chats, 15000);
    EXPECT_TRUE(ownLine);
    EXPECT_TRUE(instantMessage);
    EXPECT_TRUE(leeLeft);
    shutdown(fd, SHUT_RDWR);
    drain.join();
    close(fd);
}
