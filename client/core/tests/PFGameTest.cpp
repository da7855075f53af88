// The party game with a host that records what the game asks of the 3D view: the paths the host
// generates, the boards a program accepts from the network, the reveal, the walk with its wrong
// steps and the finish, the buttons, and the game's thread stopped beside a render worker that
// holds the global lock.
#include <gtest/gtest.h>

#include "ClientGlobals.h"
#include "D3DViewer.h"
#include "PFGame.h"
#include "SessionRecords.h"
#include "WorkerThread.h"

#include <yonda_platform.h>

#include <chrono>
#include <cstring>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Tile {
    int cell;
    std::string file;
};

struct Request {
    int code;
    int param;
    LPARAM value;
    std::vector<BYTE> data;
};

class RecordingHost : public CPFGameHost {
public:
    void ShowTile(int cell, LPCSTR file, const D3DXVECTOR3&) override
    {
        std::lock_guard<std::mutex> guard(mutex);
        tiles.push_back({cell, file});
        shown[cell] = file;
    }
    void PlaceAvatarAtStart() override
    {
        std::lock_guard<std::mutex> guard(mutex);
        ++placed;
    }
    void PostGameRequest(int code, int param, LPARAM value, const BYTE* data, int size) override
    {
        std::lock_guard<std::mutex> guard(mutex);
        requests.push_back({code, param, value, data ? std::vector<BYTE>(data, data + size) : std::vector<BYTE>()});
    }
    void PlayGameSound(LPCSTR file) override
    {
        std::lock_guard<std::mutex> guard(mutex);
        sounds.push_back(file);
    }
    void PostButtonUpdate(int type) override
    {
        std::lock_guard<std::mutex> guard(mutex);
        buttons.push_back(type);
    }
    void RequestFrame() override { ++frames; }
    void ShowGameMessage(const CString& text) override
    {
        std::lock_guard<std::mutex> guard(mutex);
        messages.push_back(std::string(text));
    }
    BOOL AskGameQuestion(const CString&) override { return answer; }

    std::vector<int> RequestCodes()
    {
        std::lock_guard<std::mutex> guard(mutex);
        std::vector<int> codes;
        for (const Request& r : requests) {
            codes.push_back(r.code);
        }
        return codes;
    }

    std::mutex mutex;
    std::vector<Tile> tiles;
    std::map<int, std::string> shown;
    std::vector<Request> requests;
    std::vector<std::string> sounds;
    std::vector<int> buttons;
    std::vector<std::string> messages;
    int placed = 0;
    std::atomic<int> frames{0};
    BOOL answer = TRUE;
};

std::string Korean(const char* utf8)
{
    return YondaUtf8ToCodePage(utf8, 949);
}

int CellOf(int row, int column)
{
    return row * CPFGame::kMaxSize + column;
}

// A path on a 5 x 5 board: right, down-right, goal, i.e. (0,0) -> (0,1) -> (1,2).
std::vector<BYTE> ShortBoard()
{
    std::vector<BYTE> board(CPFGame::kCells, 0);
    board[CellOf(0, 0)] = 2;
    board[CellOf(0, 1)] = 3;
    board[CellOf(1, 2)] = CPFGame::kGoal;
    return board;
}

D3DXVECTOR3 Centre(int row, int column, int size = 5)
{
    return D3DXVECTOR3(CPFGame::CellCentre(row, size), 0.0f, CPFGame::CellCentre(column, size));
}

// Kim (the member, slot 0) and Lee (slot 1) in a 5 x 5 game room.
struct TwoPlayers {
    RecordingHost host;
    CPFGame game{&host};
    TwoPlayers(bool kimHosts = false)
    {
        game.SetupGame(2, 5);
        game.SetPlayer(11, 0, "Kim", kimHosts);
        game.SetPlayer(22, 1, "Lee", FALSE);
    }
    // Takes Lee's board with the game's thread stopped before its first tick: the thread waits for
    // the lock this holds, then sees its stop.
    void AcceptBoard(const std::vector<BYTE>& board)
    {
        CGlobalLock lock;
        ASSERT_TRUE(game.OnBoard(22, board.data(), CPFGame::kCells));
        game.StopThread();
    }
    // Steps the reveal until play begins (without the thread).
    void RevealAll()
    {
        for (int i = 0; i < 200 && game.GetState() == CPFGame::STATE_REVEAL; ++i) {
            game.Step();
        }
        ASSERT_EQ(game.GetState(), CPFGame::STATE_PLAY);
    }
};

class PFGame : public ::testing::Test {
protected:
    static void SetUpTestSuite() { GlobalLockInit(); }
    static void TearDownTestSuite() { GlobalLockDelete(); }
};

} // namespace

TEST_F(PFGame, GeneratedPathsStayOnTheBoardMeetNoCellTwiceAndEndOnTheGoal)
{
    for (int size : {5, 6, 7}) {
        for (unsigned seed = 1; seed <= 300; ++seed) {
            SCOPED_TRACE(testing::Message() << size << "x" << size << " seed " << seed);
            RecordingHost host;
            CPFGame game(&host);
            game.SetupGame(1, size);
            game.SeedRandom(seed);
            game.GeneratePath();
            BYTE board[CPFGame::kCells];
            game.CopyBoard(board);
            int length = 0;
            ASSERT_TRUE(CPFGame::IsBoardValid(board, size, &length));
            EXPECT_EQ(length, game.GetPathLength());
            EXPECT_GE(length, 2);
            int row = 0, column = 0;
            game.PathCell(length - 1, &row, &column);
            EXPECT_EQ(game.Cell(row, column).nKind, CPFGame::KIND_GOAL);
            // The others get exactly the board the host keeps, as request 215 with 49 bytes.
            ASSERT_EQ(host.requests.size(), 1u);
            EXPECT_EQ(host.requests[0].code, REQ_PFGAME_DATA);
            EXPECT_EQ(host.requests[0].param, CPFGame::kCells);
            EXPECT_EQ(host.requests[0].data, std::vector<BYTE>(board, board + CPFGame::kCells));
        }
    }
}

TEST_F(PFGame, AHostileOrBrokenBoardIsRefused)
{
    struct Case {
        const char* what;
        std::vector<BYTE> board;
    };
    std::vector<Case> cases;
    auto variant = [&](const char* what, auto change) {
        std::vector<BYTE> board = ShortBoard();
        change(board);
        cases.push_back({what, board});
    };
    variant("a direction beyond the goal", [](auto& b) { b[CellOf(0, 1)] = 11; });
    variant("an arrow off the board", [](auto& b) { b[CellOf(0, 0)] = 4; });
    variant("a standing arrow", [](auto& b) { b[CellOf(0, 1)] = 5; });
    variant("no goal", [](auto& b) { b[CellOf(1, 2)] = 0; });
    variant("a loop", [](auto& b) {
        b[CellOf(0, 1)] = 6; // (1,1)
        b[CellOf(1, 1)] = 8; // back to (1,0)
        b[CellOf(1, 0)] = 4; // back to (0,0): a cell met twice
    });
    variant("an arrow beside the path", [](auto& b) { b[CellOf(4, 4)] = 2; });
    variant("a cell outside a 5 x 5 board", [](auto& b) { b[CellOf(6, 6)] = CPFGame::kGoal; });
    variant("a walk that leaves the 5 x 5 board", [](auto& b) {
        b[CellOf(1, 2)] = 2;
        b[CellOf(1, 3)] = 2;
        b[CellOf(1, 4)] = 2;
        b[CellOf(1, 5)] = CPFGame::kGoal;
    });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TwoPlayers room;
        EXPECT_FALSE(room.game.OnBoard(22, c.board.data(), static_cast<int>(c.board.size())));
        EXPECT_EQ(room.game.GetState(), CPFGame::STATE_IDLE);
        EXPECT_FALSE(room.game.IsThreadRunning());
    }
    TwoPlayers room;
    const std::vector<BYTE> board = ShortBoard();
    EXPECT_FALSE(room.game.OnBoard(22, board.data(), 48)) << "a short block";
    EXPECT_FALSE(room.game.OnBoard(11, board.data(), CPFGame::kCells)) << "the member's own board";
    room.AcceptBoard(board);
    EXPECT_EQ(room.game.GetPathLength(), 3);
    // Received on a 7 x 7 board, the same cells are a valid board too.
    EXPECT_TRUE(CPFGame::IsBoardValid(board.data(), 7, nullptr));
}

TEST_F(PFGame, ThePathIsRevealedThreeTimesThenWalkedWithAWrongStepAndTheGoal)
{
    TwoPlayers room;
    const std::vector<BYTE> board = ShortBoard();
    room.AcceptBoard(board); // the test steps the game itself
    EXPECT_EQ(room.host.placed, 1);
    EXPECT_TRUE(room.game.Player(0).bPlaying && room.game.Player(1).bPlaying);
    room.host.tiles.clear();
    room.RevealAll();
    // Each round lays the plain board, then the arrows in path order and the goal.
    std::vector<std::string> revealed;
    for (const Tile& t : room.host.tiles) {
        if (t.file != "O0000410.KRO") {
            revealed.push_back(std::to_string(t.cell) + t.file);
        }
    }
    const std::vector<std::string> round = {"0O0000412.KRO", "1O0000413.KRO", "9O0000421.KRO"};
    std::vector<std::string> three;
    for (int i = 0; i < 3; ++i) {
        three.insert(three.end(), round.begin(), round.end());
    }
    three.push_back("0O0000415.KRO"); // play begins: the start cell is step 0
    EXPECT_EQ(revealed, three);
    EXPECT_EQ(room.host.frames.load(), 3);
    EXPECT_TRUE(room.game.IsTiming());
    EXPECT_EQ(room.host.sounds, std::vector<std::string>{"pfRight.wav"});

    room.game.OnAvatarMoved(Centre(0, 1));
    EXPECT_EQ(room.host.shown[CellOf(0, 1)], "O0000415.KRO");
    // The same cell again is no step.
    room.game.OnAvatarMoved(Centre(0, 1) + D3DXVECTOR3(5, 0, 5));
    EXPECT_EQ(room.game.GetSteps(), 1);
    // Down instead of down-right: the wrong tile, and the walker goes back to the start.
    room.game.OnAvatarMoved(Centre(1, 1));
    EXPECT_EQ(room.host.shown[CellOf(1, 1)], "O0000422.KRO");
    EXPECT_EQ(room.host.sounds.back(), "pfWrong.wav");
    EXPECT_EQ(room.game.GetState(), CPFGame::STATE_WRONG);
    const int placedBefore = room.host.placed;
    room.game.Step();
    EXPECT_EQ(room.game.GetState(), CPFGame::STATE_PLAY);
    EXPECT_EQ(room.host.placed, placedBefore + 1);
    EXPECT_EQ(room.host.shown[CellOf(1, 1)], "O0000410.KRO") << "the mark is gone";
    EXPECT_EQ(room.host.shown[CellOf(0, 0)], "O0000415.KRO");
    EXPECT_EQ(room.game.GetSteps(), 0);
    // Off the board is a wrong step too, with no tile to mark.
    room.game.OnAvatarMoved(D3DXVECTOR3(500.0f, 0.0f, 500.0f));
    EXPECT_EQ(room.game.GetState(), CPFGame::STATE_WRONG);
    room.game.Step();
    // The right way to the goal.
    room.game.OnAvatarMoved(Centre(0, 1));
    room.game.OnAvatarMoved(Centre(1, 2));
    EXPECT_EQ(room.host.shown[CellOf(1, 2)], "O0000421.KRO");
    EXPECT_EQ(room.game.GetState(), CPFGame::STATE_IDLE);
    EXPECT_FALSE(room.game.IsTiming());
    ASSERT_FALSE(room.host.requests.empty());
    EXPECT_EQ(room.host.requests.back().code, REQ_PFGAME_TIME);
    EXPECT_EQ(room.host.requests.back().value, static_cast<LPARAM>(room.game.GetElapsed() / 100));
    EXPECT_EQ(room.host.buttons.back(), 2);
    EXPECT_FALSE(room.game.Player(0).bPlaying || room.game.Player(1).bPlaying);
    // Walking after the end changes nothing.
    room.game.OnAvatarMoved(Centre(0, 0));
    EXPECT_EQ(room.host.shown[CellOf(1, 2)], "O0000421.KRO");
}

TEST_F(PFGame, TheFinishAndTheWinnerAreToldOnce)
{
    EXPECT_EQ(std::string(CPFGame::FinishTimeText(754)), Korean("축하합니다 ; 1분15.4초 만에 게임을 끝내셨습니다"));
    EXPECT_EQ(std::string(CD3DViewer::GameClockText(75400)), "1:15:4");
    {
        TwoPlayers room;
        const int32_t tenths = 754;
        BYTE data[4];
        std::memcpy(data, &tenths, sizeof(data));
        room.game.ShowFinishMessage("", data, 4);
        room.game.ShowFinishMessage("", data, 4);
        ASSERT_EQ(room.host.messages.size(), 1u);
        EXPECT_EQ(room.host.messages[0], Korean("축하합니다 ; 1분15.4초 만에 게임을 끝내셨습니다"));
        EXPECT_EQ(room.host.sounds, std::vector<std::string>{"pfCongr.wav"});
        EXPECT_EQ(room.host.buttons.back(), 8);
    }
    {
        TwoPlayers room;
        room.game.ShowFinishMessage("Lee%s%n", nullptr, 0);
        ASSERT_EQ(room.host.messages.size(), 1u);
        EXPECT_EQ(room.host.messages[0], "Lee%s%n" + Korean("님이 먼저 게임을 끝내셨습니다"));
        EXPECT_TRUE(room.host.sounds.empty());
    }
    {
        // Three play; when both others give up, the member has won.
        RecordingHost host;
        CPFGame game(&host);
        game.SetupGame(3, 5);
        game.SetPlayer(11, 0, "Kim", FALSE);
        game.SetPlayer(22, 1, "Lee", FALSE);
        game.SetPlayer(33, 2, "Park", FALSE);
        const std::vector<BYTE> board = ShortBoard();
        ASSERT_TRUE(game.OnBoard(22, board.data(), CPFGame::kCells));
        game.OnRetire(22);
        EXPECT_TRUE(host.messages.empty());
        game.OnRetire(99); // nobody of this room
        game.OnRetire(33);
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0], Korean("축하합니다 ;다른 분들이 모두 게임을 포기 하셨습니다;승자가 되셨습니다"));
        EXPECT_EQ(host.buttons.back(), 10);
        EXPECT_FALSE(game.IsThreadRunning());
    }
}

TEST_F(PFGame, TheButtonsFollowTheReadyPlayers)
{
    short states[CPFGame::BUTTON_COUNT] = {0, 0, 0, 0};
    {
        // Alone in the room the host may start at once.
        RecordingHost host;
        CPFGame game(&host);
        game.SetupGame(1, 5);
        game.SetPlayer(11, 0, "Kim", TRUE);
        game.ApplyButtonUpdate(12, states);
        EXPECT_EQ(states[CPFGame::BUTTON_START], 1);
        EXPECT_EQ(states[CPFGame::BUTTON_READY], 1);
    }
    TwoPlayers room(true);
    room.host.buttons.clear();
    room.game.ApplyButtonUpdate(12, states);
    EXPECT_EQ(states[CPFGame::BUTTON_START], 0) << "Lee is not ready";
    room.game.OnReady(99);
    EXPECT_TRUE(room.host.buttons.empty());
    room.game.OnReady(22);
    EXPECT_EQ(room.host.buttons, std::vector<int>{11}) << "all are ready";
    room.game.ApplyButtonUpdate(11, states);
    EXPECT_EQ(states[CPFGame::BUTTON_START], 1);
    room.game.ApplyButtonUpdate(6, states);
    EXPECT_EQ(std::vector<short>(states, states + 4), (std::vector<short>{0, 1, 1, 0}));
    room.game.ApplyButtonUpdate(5, states);
    EXPECT_EQ(std::vector<short>(states, states + 4), (std::vector<short>{0, 0, 1, 0}));
    // A guest's program never has all ready: its own slot is not the host.
    TwoPlayers guest(false);
    guest.host.buttons.clear();
    guest.game.OnReady(22);
    EXPECT_TRUE(guest.host.buttons.empty());
    // Ready and retire are requests; a retire asked and declined sends nothing.
    guest.game.Ready();
    guest.host.answer = FALSE;
    guest.game.Retire();
    EXPECT_EQ(guest.host.RequestCodes(), std::vector<int>{REQ_PFGAME_READY});
    guest.host.answer = TRUE;
    guest.game.Retire();
    EXPECT_EQ(guest.host.RequestCodes(), (std::vector<int>{REQ_PFGAME_READY, REQ_PFGAME_RETIRE}));
}

TEST_F(PFGame, SnappedWalksOnlyInPlayOrIdle)
{
    TwoPlayers room;
    D3DXVECTOR3 target(-52.0f, 0.0f, 7.0f);
    EXPECT_TRUE(room.game.SnapToCell(&target));
    EXPECT_EQ(target, D3DXVECTOR3(-60.0f, 0.0f, 0.0f));
    const std::vector<BYTE> board = ShortBoard();
    room.AcceptBoard(board);
    EXPECT_FALSE(room.game.SnapToCell(&target)) << "no walking while the path shows";
}

TEST_F(PFGame, TheThreadRevealsAndStopsBesideARenderWorkerEvenUnderTheLock)
{
    // A worker that holds the global lock for each of its steps, as the 3D view's does.
    class LockingWorker : public CWorkerThread {
    public:
        void OnThreadStep() override
        {
            CGlobalLock lock;
            ++steps;
            std::this_thread::sleep_for(std::chrono::milliseconds(3));
        }
        std::atomic<int> steps{0};
    } worker;
    ASSERT_TRUE(worker.Start(nullptr, 0, 0));
    for (int round = 0; round < 8; ++round) {
        SCOPED_TRACE(round);
        TwoPlayers room(true);
        room.game.Start();
        ASSERT_TRUE(room.game.IsThreadRunning());
        // The host's thread makes the path and starts showing it.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (room.host.RequestCodes().empty() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        ASSERT_EQ(room.host.RequestCodes(), std::vector<int>{REQ_PFGAME_DATA});
        // Stopped by a thread that holds the lock the game's thread wants: it must not hang.
        auto stopped = std::async(std::launch::async, [&] {
            CGlobalLock lock;
            room.game.StopThread();
        });
        ASSERT_EQ(stopped.wait_for(std::chrono::seconds(10)), std::future_status::ready) << "the stop hung";
        EXPECT_FALSE(room.game.IsThreadRunning());
    }
    // A game dropped while its thread runs stops it on the way out.
    {
        TwoPlayers room(true);
        room.game.Start();
    }
    EXPECT_GT(worker.steps.load(), 0);
    worker.Stop();
}
