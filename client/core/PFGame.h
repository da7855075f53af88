#pragma once
// The party game of a game room: a square board of N x N floor tiles (N = 5, 6 or 7) on which the
// room's host hides a path of arrows from the corner cell to a goal. Every player's program shows
// the path arrow by arrow three times, hides it, and the players walk their avatars along it from
// memory; a wrong cell sends the walker back to the start and the first at the goal wins.
//
// The game lives in the 3D view, which hosts it (tiles in the scene, the avatar at the start,
// requests, sounds, buttons, messages). Its own thread ticks every 100 ms. Every field is guarded
// by the global lock; the thread only ever tries the lock while watching its stop flag, so a
// stop from a thread that holds the lock never waits for a thread that waits for the lock.
#include <d3dx8.h>
#include <windows.h>

#include <afxwin.h>

#include <atomic>
#include <random>

// The game's messages to the main frame, which hands them to the 3D view on the GUI thread.
#define UM_PFGAME_BUTTONS 0x3510 // wParam: the button update type 1-13
#define UM_PFGAME_EVENT 0x3511   // lParam: a PFGAME_EVENT* the receiver frees
#define UM_PFGAME_MOVED 0x3512   // lParam: a float[3] copy of where the own avatar stopped, freed by the receiver
#define UM_PFGAME_MESSAGE 0x3513 // lParam: a CString* to show in a notify box, freed by the receiver

// A game event of the room as the view receives it (the payload copied out of the event block).
struct PFGAME_EVENT {
    int nSubCode = 0;
    long lUser = 0;
    int nSize = 0;
    BYTE data[256] = {};
};

class CPFGameHost {
public:
    virtual ~CPFGameHost() = default;
    // Shows tile `file` on cell `cell` (row-major on the 7 x 7 grid) at `position`, in place of the
    // tile the cell showed. Called with the global lock held, on any thread.
    virtual void ShowTile(int cell, LPCSTR file, const D3DXVECTOR3& position) = 0;
    // Puts the own avatar on the start cell and tells the service (lock held, any thread).
    virtual void PlaceAvatarAtStart() = 0;
    // Posts a request to the main frame; `data` is copied when given.
    virtual void PostGameRequest(int code, int param, LPARAM value, const BYTE* data, int size) = 0;
    virtual void PlayGameSound(LPCSTR file) = 0;
    // The four game buttons change by an update type; the host applies it on the GUI thread.
    virtual void PostButtonUpdate(int type) = 0;
    // The next frame shows the board as it is now.
    virtual void RequestFrame() = 0;
    // A message for a notify box, shown later on the GUI thread (any thread, lock or not).
    virtual void ShowGameMessage(const CString& text) = 0;
    // A yes/no question by string-table key: GUI thread only, never with the lock held.
    virtual BOOL AskGameQuestion(const CString& key) = 0;
};

class CPFGame {
public:
    static constexpr int kMaxSize = 7;
    static constexpr int kCells = kMaxSize * kMaxSize;
    static constexpr int kSlots = 4;
    static constexpr int kTickMs = 100;
    static constexpr BYTE kGoal = 10;
    static constexpr short KIND_PLAIN = 0;
    static constexpr short KIND_PATH = 5;
    static constexpr short KIND_GOAL = 11;
    enum State {
        STATE_IDLE = -1,
        STATE_GENERATE = 0,
        STATE_REVEAL = 1,
        STATE_PLAY = 2,
        STATE_WRONG = 3,
        STATE_BUSY = 10
    };
    // The four buttons in the frame's order.
    enum { BUTTON_START, BUTTON_HINT, BUTTON_RETIRE, BUTTON_READY, BUTTON_COUNT };

    struct CELL {
        float x = 0.0f;
        float y = -5.0f;
        float z = 0.0f;
        short nKind = KIND_PLAIN;
        BYTE byDirection = 0;
    };
    struct PLAYER {
        long lUser = 0;
        int bReady = 0;
        int bPlaying = 0;
        int bHost = 0;
        short nIndex = -1;
        CString strNickname; // empty: a free slot
    };

    explicit CPFGame(CPFGameHost* host);
    ~CPFGame();
    CPFGame(const CPFGame&) = delete;
    CPFGame& operator=(const CPFGame&) = delete;

    // ---- Players and the flow (GUI thread) ----------------------------------------------
    void SetupGame(int playerCount, int size);
    void SetPlayer(long user, int index, LPCSTR nickname, BOOL host);
    void RemovePlayer(int index);
    void SetHostFlag(int index, BOOL value);
    void Start();
    void Hint();
    void Ready();
    void Retire();
    // A board from another player: refused unless it holds one path from the corner to a goal.
    BOOL OnBoard(long sender, const BYTE* data, int size);
    // `name` empty: the member finished; `data` holds the time in tenths (32 bits, little-endian).
    void ShowFinishMessage(LPCSTR name, const BYTE* data, int size);
    void OnRetire(long user);
    void OnReady(long user);
    void OnAvatarMoved(const D3DXVECTOR3& position);
    // In play or idle: moves the target to its cell's centre; otherwise the walk is refused.
    BOOL SnapToCell(D3DXVECTOR3* position) const;
    // The button states (0 off, 1 on) after an update of `type`, in the order of BUTTON_*; states
    // the type leaves unchanged keep what `states` held.
    void ApplyButtonUpdate(int type, short states[BUTTON_COUNT]) const;

    // ---- The thread ----------------------------------------------------------------------
    BOOL StartThread();
    // Sets the stop flag and waits for the thread (1000 ms, then without limit). Safe from any
    // thread but the game's own, with or without the global lock.
    void StopThread();
    BOOL IsThreadRunning() const { return m_hThread != nullptr && !m_bThreadEnded; }
    // One tick of the thread's work (the thread calls it under the lock); the extra wait it asks.
    int Step();

    // ---- What the view and tests read ----------------------------------------------------
    int GetState() const { return m_nState; }
    int GetSize() const { return m_nSize; }
    int GetPathLength() const { return m_nPathLength; }
    int GetSteps() const { return m_nSteps; }
    DWORD GetElapsed() const { return m_dwElapsed; }
    BOOL IsTiming() const { return m_bTiming; }
    BOOL IsFinished() const { return m_bFinished; }
    const CELL& Cell(int row, int column) const { return m_cells[row * kMaxSize + column]; }
    const PLAYER& Player(int index) const { return m_players[index]; }
    // The 49 directions row-major, as request 215 carries them.
    void CopyBoard(BYTE board[kCells]) const;
    // The cell of path step `step` (walking the arrows from the corner, stopping at the goal).
    void PathCell(int step, int* row, int* column) const;
    // The row or column whose span holds a coordinate, -1 off the board.
    int CellIndexOf(float coordinate) const;
    // Where a cell's centre lies on a board of `size`.
    static float CellCentre(int index, int size);
    // Whether 49 directions hold a board of `size` that can be played: every value 0-10, nothing
    // outside the board, and from the corner one walk on the board that never meets a cell twice
    // and ends on the goal, with no arrow beside it. `length` receives the cells of the walk.
    static BOOL IsBoardValid(const BYTE board[kCells], int size, int* length);
    // The step of a direction 1-9 (5 stays).
    static void DirectionStep(int direction, int* rowStep, int* columnStep);
    // The text shown when the member reached the goal after `tenths` tenths of a second.
    static CString FinishTimeText(long tenths);
    void SeedRandom(unsigned seed) { m_random.seed(seed); }
    // Generation as the host runs it (state 0), exposed for tests of the path's shape.
    void GeneratePath();

private:
    static unsigned __stdcall ThreadBody(void* self);
    void Run();
    BOOL WaitTick(DWORD ms);
    BOOL EnterLockOrStop();
    int Random(int count);
    CELL& At(int row, int column) { return m_cells[row * kMaxSize + column]; }
    BOOL OnBoardCell(int row, int column) const;
    int FreeNeighbours(int row, int column) const;
    int ChooseDirection(int row, int column, int count);
    void LayPlainTiles();
    void ShowCell(int row, int column, LPCSTR file);
    void RevealStep(int* extraWait);
    void CheckStep(int row, int column);
    void Restart();
    void ReachGoal();
    void StopAfterEnd();
    void ClearPlayerFlags();
    BOOL CheckAllReady();
    void ShowWinnerMessage();
    int SlotOf(long user) const;
    DWORD Now() const;

    CPFGameHost* m_pHost;
    std::atomic<int> m_nState{STATE_IDLE};
    BOOL m_bTiming = FALSE;
    BOOL m_bFinished = FALSE;
    int m_nRow = 0;
    int m_nColumn = 0;
    int m_nPathLength = 0;
    int m_nRevealIndex = 0;
    int m_nRevealRound = 0;
    int m_nSteps = 0;
    CELL m_cells[kCells];
    int m_nSize = 5;
    int m_nPlayerCount = 1;
    PLAYER m_players[kSlots];
    DWORD m_dwStart = 0;
    DWORD m_dwNow = 0;
    DWORD m_dwElapsed = 0;
    std::minstd_rand m_random;
    HANDLE m_hThread = nullptr;
    HANDLE m_hStopEvent = nullptr;
    std::atomic<int> m_bStop{0};
    std::atomic<int> m_bThreadEnded{1};
};
