#include "PFGame.h"

#include "ClientGlobals.h"
#include "SessionRecords.h"

#include <mmsystem.h>
#include <process.h>
#include <yonda_platform.h>

#include <algorithm>
#include <cstring>
#include <ctime>

namespace {

const char kPlainTile[] = "O0000410.KRO";
const char kMarkTile[] = "O0000415.KRO";
const char kGoalTile[] = "O0000421.KRO";
const char kWrongTile[] = "O0000422.KRO";
const char kRightSound[] = "pfRight.wav";
const char kWrongSound[] = "pfWrong.wav";
const char kWinSound[] = "pfCongr.wav";

// The game's own texts, in the program's code page.
CString GameText(const char* utf8)
{
    return CString(YondaUtf8ToCodePage(utf8, 949).c_str());
}

void ArrowTile(int direction, char* file, size_t size)
{
    const int shown = direction >= 1 && direction <= 9 ? direction : 5;
    std::snprintf(file, size, "O00004%02d.KRO", 10 + shown);
}

} // namespace

CPFGame::CPFGame(CPFGameHost* host) : m_pHost(host), m_random(static_cast<unsigned>(std::time(nullptr)))
{
    m_hStopEvent = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    for (int row = 0; row < kMaxSize; ++row) {
        for (int column = 0; column < kMaxSize; ++column) {
            CELL& cell = At(row, column);
            cell.x = CellCentre(row, m_nSize);
            cell.z = CellCentre(column, m_nSize);
        }
    }
}

CPFGame::~CPFGame()
{
    StopThread();
    ::CloseHandle(m_hStopEvent);
}

// ---- Geometry -------------------------------------------------------------------------------

float CPFGame::CellCentre(int index, int size)
{
    switch (size) {
    case 7: return static_cast<float>((index - 3) * 30);
    case 6: return static_cast<float>((index - 2) * 30 - 15);
    default: return static_cast<float>((index - 2) * 30);
    }
}

int CPFGame::CellIndexOf(float coordinate) const
{
    for (int i = 0; i < m_nSize; ++i) {
        const float centre = CellCentre(i, m_nSize);
        if (coordinate >= centre - 15.0f && coordinate < centre + 15.0f) {
            return i;
        }
    }
    return -1;
}

void CPFGame::DirectionStep(int direction, int* rowStep, int* columnStep)
{
    *rowStep = 0;
    *columnStep = 0;
    if (direction == 1 || direction == 2 || direction == 3) {
        *columnStep = 1;
    } else if (direction == 7 || direction == 8 || direction == 9) {
        *columnStep = -1;
    }
    if (direction == 3 || direction == 6 || direction == 9) {
        *rowStep = 1;
    } else if (direction == 1 || direction == 4 || direction == 7) {
        *rowStep = -1;
    }
}

BOOL CPFGame::OnBoardCell(int row, int column) const
{
    return row >= 0 && row < m_nSize && column >= 0 && column < m_nSize;
}

void CPFGame::PathCell(int step, int* row, int* column) const
{
    int r = 0, c = 0;
    // The walk never runs longer than the board has cells, whatever the board holds.
    for (int i = 0; i < step && i < kCells; ++i) {
        const BYTE direction = Cell(r, c).byDirection;
        if (direction < 1 || direction > 9 || direction == 5) {
            break;
        }
        int dr = 0, dc = 0;
        DirectionStep(direction, &dr, &dc);
        if (!OnBoardCell(r + dr, c + dc)) {
            break;
        }
        r += dr;
        c += dc;
    }
    *row = r;
    *column = c;
}

BOOL CPFGame::IsBoardValid(const BYTE board[kCells], int size, int* length)
{
    if (size < 5 || size > kMaxSize) {
        return FALSE;
    }
    bool visited[kCells] = {};
    int row = 0, column = 0, cells = 0;
    for (;;) {
        const int index = row * kMaxSize + column;
        if (visited[index]) {
            return FALSE;
        }
        visited[index] = true;
        ++cells;
        const BYTE direction = board[index];
        if (direction == kGoal) {
            break;
        }
        if (direction < 1 || direction > 9 || direction == 5) {
            return FALSE;
        }
        int dr = 0, dc = 0;
        DirectionStep(direction, &dr, &dc);
        row += dr;
        column += dc;
        if (row < 0 || row >= size || column < 0 || column >= size) {
            return FALSE;
        }
    }
    // Every other cell is plain: an arrow off the path would be counted and revealed.
    for (int i = 0; i < kCells; ++i) {
        if (!visited[i] && board[i] != 0) {
            return FALSE;
        }
    }
    if (length) {
        *length = cells;
    }
    return TRUE;
}

void CPFGame::CopyBoard(BYTE board[kCells]) const
{
    for (int i = 0; i < kCells; ++i) {
        board[i] = m_cells[i].byDirection;
    }
}

CString CPFGame::FinishTimeText(long tenths)
{
    CString text;
    text.Format(GameText("축하합니다 ; %d분%02d.%d초 만에 게임을 끝내셨습니다"), static_cast<int>(tenths / 600),
                static_cast<int>(tenths / 10 % 60), static_cast<int>(tenths % 10));
    return text;
}

DWORD CPFGame::Now() const
{
    return ::timeGetTime();
}

int CPFGame::Random(int count)
{
    return count > 0 ? static_cast<int>(m_random() % static_cast<unsigned>(count)) : 0;
}

// ---- Tiles ----------------------------------------------------------------------------------

void CPFGame::ShowCell(int row, int column, LPCSTR file)
{
    if (m_pHost && OnBoardCell(row, column)) {
        const CELL& cell = At(row, column);
        m_pHost->ShowTile(row * kMaxSize + column, file, D3DXVECTOR3(cell.x, cell.y, cell.z));
    }
}

void CPFGame::LayPlainTiles()
{
    for (int row = 0; row < m_nSize; ++row) {
        for (int column = 0; column < m_nSize; ++column) {
            ShowCell(row, column, kPlainTile);
        }
    }
}

// ---- Players and flow -----------------------------------------------------------------------

void CPFGame::SetupGame(int playerCount, int size)
{
    CGlobalLock lock;
    m_nPlayerCount = playerCount >= 1 && playerCount <= kSlots ? playerCount : 1;
    m_nSize = size >= 5 && size <= kMaxSize ? size : 5;
    for (int row = 0; row < kMaxSize; ++row) {
        for (int column = 0; column < kMaxSize; ++column) {
            CELL& cell = At(row, column);
            cell = CELL{};
            cell.x = CellCentre(row, m_nSize);
            cell.z = CellCentre(column, m_nSize);
        }
    }
    LayPlainTiles();
    for (PLAYER& player : m_players) {
        player = PLAYER{};
    }
    if (m_pHost) {
        m_pHost->PostButtonUpdate(7);
    }
}

void CPFGame::SetPlayer(long user, int index, LPCSTR nickname, BOOL host)
{
    if (index < 0 || index >= kSlots) {
        return;
    }
    CGlobalLock lock;
    PLAYER& player = m_players[index];
    player = PLAYER{};
    player.lUser = user;
    player.nIndex = static_cast<short>(index);
    player.strNickname = nickname ? nickname : "";
    player.bHost = host ? 1 : 0;
    if (m_pHost) {
        m_pHost->PostButtonUpdate(index > 0 ? 13 : 12);
    }
}

void CPFGame::RemovePlayer(int index)
{
    if (index < 0 || index >= kSlots) {
        return;
    }
    BOOL winnerCheck = FALSE;
    {
        CGlobalLock lock;
        m_players[index] = PLAYER{};
        if (m_nState == STATE_IDLE) {
            CheckAllReady();
        } else {
            winnerCheck = TRUE;
        }
    }
    if (winnerCheck) {
        ShowWinnerMessage();
    }
}

void CPFGame::SetHostFlag(int index, BOOL value)
{
    if (index < 0 || index >= kSlots) {
        return;
    }
    CGlobalLock lock;
    m_players[index].bHost = value ? 1 : 0;
    CheckAllReady();
}

BOOL CPFGame::CheckAllReady()
{
    if (!m_players[0].bHost) {
        return FALSE;
    }
    for (int i = 1; i < kSlots; ++i) {
        if (!m_players[i].strNickname.IsEmpty() && !m_players[i].bReady) {
            return FALSE;
        }
    }
    if (m_pHost) {
        m_pHost->PostButtonUpdate(11);
    }
    return TRUE;
}

int CPFGame::SlotOf(long user) const
{
    for (int i = 0; i < kSlots; ++i) {
        if (!m_players[i].strNickname.IsEmpty() && m_players[i].lUser == user) {
            return i;
        }
    }
    return -1;
}

void CPFGame::Start()
{
    StartThread();
    CGlobalLock lock;
    m_nState = STATE_GENERATE;
    if (m_pHost) {
        m_pHost->PlaceAvatarAtStart();
    }
    m_players[0].bReady = 1;
}

void CPFGame::Hint()
{
    CGlobalLock lock;
    m_nRow = m_nColumn = m_nSteps = 0;
    if (m_pHost) {
        m_pHost->PlaceAvatarAtStart();
    }
    m_nRevealIndex = m_nRevealRound = 0;
    m_nState = STATE_REVEAL;
}

void CPFGame::Ready()
{
    if (m_pHost) {
        m_pHost->PostGameRequest(REQ_PFGAME_READY, 0, 0, nullptr, 0);
    }
}

void CPFGame::Retire()
{
    if (!m_pHost || !m_pHost->AskGameQuestion(CString("GameRetire"))) {
        return;
    }
    StopAfterEnd();
    {
        CGlobalLock lock;
        m_players[0].bReady = m_players[0].bPlaying = 0;
    }
    m_pHost->PostButtonUpdate(9);
    m_pHost->PostGameRequest(REQ_PFGAME_RETIRE, 0, 0, nullptr, 0);
}

void CPFGame::StopAfterEnd()
{
    {
        CGlobalLock lock;
        m_nState = STATE_IDLE;
        m_bTiming = FALSE;
    }
    StopThread();
}

BOOL CPFGame::OnBoard(long sender, const BYTE* data, int size)
{
    if (!data || size < kCells) {
        return FALSE;
    }
    int length = 0;
    {
        CGlobalLock lock;
        if (sender == m_players[0].lUser && !m_players[0].strNickname.IsEmpty()) {
            return FALSE;
        }
        if (!IsBoardValid(data, m_nSize, &length)) {
            return FALSE;
        }
    }
    StartThread();
    CGlobalLock lock;
    m_bFinished = FALSE;
    if (m_pHost) {
        m_pHost->PlaceAvatarAtStart();
    }
    LayPlainTiles();
    if (m_pHost) {
        m_pHost->PostButtonUpdate(4);
    }
    m_nPathLength = m_nSteps = 0;
    for (int i = 0; i < kCells; ++i) {
        CELL& cell = m_cells[i];
        cell.byDirection = data[i];
        cell.nKind = data[i] == kGoal ? KIND_GOAL : data[i] != 0 ? KIND_PATH : KIND_PLAIN;
        m_nPathLength += cell.nKind != KIND_PLAIN;
    }
    for (PLAYER& player : m_players) {
        if (!player.strNickname.IsEmpty()) {
            player.bPlaying = 1;
        }
    }
    m_nRevealIndex = m_nRevealRound = 0;
    m_nState = STATE_REVEAL;
    return TRUE;
}

void CPFGame::ClearPlayerFlags()
{
    for (PLAYER& player : m_players) {
        player.bReady = player.bPlaying = 0;
    }
}

void CPFGame::ShowFinishMessage(LPCSTR name, const BYTE* data, int size)
{
    CString text;
    {
        CGlobalLock lock;
        if (m_bFinished) {
            return;
        }
        m_bFinished = TRUE;
    }
    StopAfterEnd();
    const BOOL own = !name || !*name;
    if (own) {
        int32_t tenths = 0;
        if (data && size >= 4) {
            std::memcpy(&tenths, data, sizeof(tenths));
        }
        text = FinishTimeText(tenths < 0 ? 0 : tenths);
        if (m_pHost) {
            m_pHost->PlayGameSound(kWinSound);
        }
    } else {
        text.Format(GameText("%s님이 먼저 게임을 끝내셨습니다"), name);
    }
    {
        CGlobalLock lock;
        ClearPlayerFlags();
    }
    if (m_pHost) {
        m_pHost->ShowGameMessage(text);
        m_pHost->PostButtonUpdate(8);
    }
}

void CPFGame::ShowWinnerMessage()
{
    CString text;
    BOOL own = FALSE;
    {
        CGlobalLock lock;
        int remaining = 0, last = -1;
        for (int i = 0; i < kSlots; ++i) {
            if (m_players[i].bPlaying) {
                ++remaining;
                last = i;
            }
        }
        if (remaining != 1) {
            return;
        }
        m_bFinished = TRUE;
        own = last == 0;
        if (!own) {
            text.Format(GameText("%s ;님이 먼저 게임을 끝내셨습니다"),
                        static_cast<LPCSTR>(m_players[last].strNickname));
        }
    }
    StopAfterEnd();
    if (own) {
        text = GameText("축하합니다 ;다른 분들이 모두 게임을 포기 하셨습니다;승자가 되셨습니다");
        if (m_pHost) {
            m_pHost->PlayGameSound(kWinSound);
        }
    }
    {
        CGlobalLock lock;
        ClearPlayerFlags();
    }
    if (m_pHost) {
        m_pHost->ShowGameMessage(text);
        m_pHost->PostButtonUpdate(10);
    }
}

void CPFGame::OnRetire(long user)
{
    {
        CGlobalLock lock;
        const int slot = SlotOf(user);
        if (slot < 0) {
            return;
        }
        m_players[slot].bPlaying = 0;
    }
    ShowWinnerMessage();
}

void CPFGame::OnReady(long user)
{
    CGlobalLock lock;
    const int slot = SlotOf(user);
    if (slot >= 0) {
        m_players[slot].bReady = 1;
        CheckAllReady();
    }
}

BOOL CPFGame::SnapToCell(D3DXVECTOR3* position) const
{
    CGlobalLock lock;
    if (m_nState != STATE_PLAY && m_nState != STATE_IDLE) {
        return FALSE;
    }
    if (position) {
        const int row = CellIndexOf(position->x);
        const int column = CellIndexOf(position->z);
        if (row >= 0) {
            position->x = CellCentre(row, m_nSize);
        }
        if (column >= 0) {
            position->z = CellCentre(column, m_nSize);
        }
    }
    return TRUE;
}

void CPFGame::ApplyButtonUpdate(int type, short states[BUTTON_COUNT]) const
{
    CGlobalLock lock;
    BOOL allReady = TRUE;
    for (int i = 0; i < kSlots; ++i) {
        if (!m_players[i].strNickname.IsEmpty() && !m_players[i].bReady && i > 0) {
            allReady = FALSE;
        }
    }
    const short readyOrAlone = m_nPlayerCount == 1 || allReady ? 1 : 0;
    switch (type) {
    case 1:
    case 9:
        states[BUTTON_READY] = 0;
        states[BUTTON_START] = readyOrAlone;
        states[BUTTON_HINT] = states[BUTTON_RETIRE] = 0;
        break;
    case 2:
    case 7:
    case 8:
    case 10:
    case 12:
        states[BUTTON_READY] = 1;
        states[BUTTON_START] = readyOrAlone;
        states[BUTTON_HINT] = states[BUTTON_RETIRE] = 0;
        break;
    case 3:
    case 4: states[BUTTON_HINT] = states[BUTTON_RETIRE] = 0; break;
    case 5:
        states[BUTTON_HINT] = 0;
        states[BUTTON_RETIRE] = 1;
        break;
    case 6:
        states[BUTTON_READY] = states[BUTTON_START] = 0;
        states[BUTTON_HINT] = states[BUTTON_RETIRE] = 1;
        break;
    case 11: states[BUTTON_START] = 1; break;
    case 13:
        if (m_players[0].bHost && states[BUTTON_START]) {
            states[BUTTON_START] = 0;
        }
        break;
    default: break;
    }
}

// ---- Generation -----------------------------------------------------------------------------

int CPFGame::FreeNeighbours(int row, int column) const
{
    int free = 0;
    for (int direction = 1; direction <= 9; ++direction) {
        if (direction == 5) {
            continue;
        }
        int dr = 0, dc = 0;
        DirectionStep(direction, &dr, &dc);
        if (OnBoardCell(row + dr, column + dc) && Cell(row + dr, column + dc).byDirection == 0) {
            ++free;
        }
    }
    return free;
}

// The direction of the cell at (row, column) on the path's `count`-th step (0 when nothing
// was chosen yet), or the goal.
int CPFGame::ChooseDirection(int row, int column, int count)
{
    int weights[10] = {};
    for (int direction = 1; direction <= 9; ++direction) {
        if (direction == 5) {
            continue;
        }
        int dr = 0, dc = 0;
        DirectionStep(direction, &dr, &dc);
        if (!OnBoardCell(row + dr, column + dc) || Cell(row + dr, column + dc).byDirection != 0) {
            continue;
        }
        weights[direction] = std::max(0, FreeNeighbours(row + dr, column + dc) - 1);
    }
    int preferred[10] = {};
    for (int direction = 1; direction <= 9; ++direction) {
        preferred[direction] = weights[direction] > 3 ? weights[direction] : 0;
    }
    const int limit = m_nSize * m_nSize * 2 / 3;
    auto pass = [&](const int* set, bool all) -> int {
        int count_ = 0, only = 0;
        int diagonals[4], evens[4];
        int diagonalCount = 0, evenCount = 0;
        for (int direction = 1; direction <= 9; ++direction) {
            if (set[direction] == 0) {
                continue;
            }
            ++count_;
            only = direction;
            if (direction % 2 == 0) {
                evens[evenCount++] = direction;
            } else {
                diagonals[diagonalCount++] = direction;
            }
        }
        if (count_ == 0) {
            return all ? kGoal : 0;
        }
        if (count_ == 1) {
            return count <= limit ? only : kGoal;
        }
        if (evenCount == 0) {
            return diagonals[Random(diagonalCount)];
        }
        if (diagonalCount > 0 && Random(4) == 0) {
            return count <= limit ? 0 : kGoal;
        }
        return evens[Random(evenCount)];
    };
    int chosen = pass(preferred, false);
    if (chosen == 0) {
        chosen = pass(weights, true);
    }
    if (chosen != 0) {
        return chosen;
    }
    const int* set = preferred;
    int nonzero = 0;
    for (int direction = 1; direction <= 9; ++direction) {
        nonzero += preferred[direction] != 0;
    }
    if (nonzero == 0) {
        set = weights;
        for (int direction = 1; direction <= 9; ++direction) {
            nonzero += weights[direction] != 0;
        }
    }
    int pick = Random(nonzero);
    for (int direction = 1; direction <= 9; ++direction) {
        if (set[direction] != 0 && pick-- == 0) {
            return direction;
        }
    }
    return kGoal;
}

void CPFGame::GeneratePath()
{
    m_nState = STATE_BUSY;
    for (CELL& cell : m_cells) {
        cell.nKind = KIND_PLAIN;
        cell.byDirection = 0;
    }
    LayPlainTiles();
    if (m_pHost) {
        m_pHost->PostButtonUpdate(3);
    }
    int row = 0, column = 0, count = 0;
    for (;;) {
        CELL& cell = At(row, column);
        const int direction = ChooseDirection(row, column, count);
        cell.byDirection = static_cast<BYTE>(direction);
        ++count;
        if (direction < 1 || direction > 9) {
            cell.byDirection = kGoal;
            cell.nKind = KIND_GOAL;
            break;
        }
        cell.nKind = KIND_PATH;
        int dr = 0, dc = 0;
        DirectionStep(direction, &dr, &dc);
        row += dr;
        column += dc;
    }
    m_nPathLength = count;
    BYTE board[kCells];
    CopyBoard(board);
    if (m_pHost) {
        m_pHost->PostGameRequest(REQ_PFGAME_DATA, kCells, 0, board, kCells);
    }
}

// ---- Reveal, walking and the end ------------------------------------------------------------

void CPFGame::RevealStep(int* extraWait)
{
    if (m_nPathLength <= 0) {
        m_nState = STATE_IDLE;
        return;
    }
    if (m_nRevealIndex == 0) {
        LayPlainTiles();
        if (m_pHost) {
            m_pHost->RequestFrame();
        }
    }
    int row = 0, column = 0;
    PathCell(m_nRevealIndex, &row, &column);
    char file[16];
    const BYTE direction = At(row, column).byDirection;
    if (direction == kGoal) {
        std::strcpy(file, kGoalTile);
    } else {
        ArrowTile(direction, file, sizeof(file));
    }
    ShowCell(row, column, file);
    if (++m_nRevealIndex < m_nPathLength) {
        return;
    }
    m_nRevealIndex = 0;
    *extraWait = kTickMs;
    if (++m_nRevealRound < 3) {
        return;
    }
    if (!m_bTiming) {
        m_dwStart = Now();
        m_dwElapsed = 0;
        m_bTiming = TRUE;
        if (m_pHost) {
            m_pHost->PostButtonUpdate(5);
        }
    }
    m_nState = STATE_PLAY;
    LayPlainTiles();
    m_nRow = m_nColumn = m_nSteps = 0;
    CheckStep(0, 0);
    if (m_pHost) {
        m_pHost->PostButtonUpdate(6);
    }
}

void CPFGame::CheckStep(int row, int column)
{
    int expectedRow = 0, expectedColumn = 0;
    PathCell(m_nSteps, &expectedRow, &expectedColumn);
    if (row == expectedRow && column == expectedColumn && At(row, column).nKind != KIND_PLAIN) {
        if (At(row, column).nKind == KIND_GOAL) {
            ReachGoal();
            return;
        }
        ShowCell(row, column, kMarkTile);
        if (m_pHost) {
            m_pHost->PlayGameSound(kRightSound);
        }
        return;
    }
    // Off the board there is no tile to mark; the walker goes back all the same.
    ShowCell(row, column, kWrongTile);
    if (m_pHost) {
        m_pHost->PlayGameSound(kWrongSound);
    }
    m_nState = STATE_WRONG;
}

void CPFGame::ReachGoal()
{
    ShowCell(m_nRow, m_nColumn, kGoalTile);
    m_nState = STATE_IDLE;
    if (m_bTiming) {
        m_dwElapsed = Now() - m_dwStart;
    }
    m_bTiming = FALSE;
    // The thread is told to stop; it leaves at its next look at the flag, never waiting for us.
    m_bStop = 1;
    ::SetEvent(m_hStopEvent);
    if (m_pHost) {
        m_pHost->PostGameRequest(REQ_PFGAME_TIME, 0, static_cast<LPARAM>(m_dwElapsed / 100), nullptr, 0);
    }
    ClearPlayerFlags();
    if (m_pHost) {
        m_pHost->PostButtonUpdate(2);
    }
}

void CPFGame::OnAvatarMoved(const D3DXVECTOR3& position)
{
    BOOL reached = FALSE;
    {
        CGlobalLock lock;
        if (m_nState != STATE_PLAY) {
            return;
        }
        const int row = CellIndexOf(position.x);
        const int column = CellIndexOf(position.z);
        if (row == m_nRow && column == m_nColumn) {
            return;
        }
        m_nRow = row;
        m_nColumn = column;
        ++m_nSteps;
        CheckStep(row, column);
        reached = m_nState == STATE_IDLE;
    }
    if (reached) {
        StopThread();
    }
}

void CPFGame::Restart()
{
    LayPlainTiles();
    m_nRow = m_nColumn = m_nSteps = 0;
    CheckStep(0, 0);
    if (m_pHost) {
        m_pHost->PlaceAvatarAtStart();
    }
}

// ---- The thread -----------------------------------------------------------------------------

int CPFGame::Step()
{
    int extra = 0;
    if (m_bTiming) {
        m_dwNow = Now();
        m_dwElapsed = m_dwNow - m_dwStart;
    }
    switch (m_nState) {
    case STATE_GENERATE:
        GeneratePath();
        // The host's own program reveals the path it made, as the others do from request 215.
        for (PLAYER& player : m_players) {
            if (!player.strNickname.IsEmpty()) {
                player.bPlaying = 1;
            }
        }
        m_bFinished = FALSE;
        m_nRevealIndex = m_nRevealRound = 0;
        m_nState = STATE_REVEAL;
        break;
    case STATE_REVEAL: RevealStep(&extra); break;
    case STATE_WRONG:
        Restart();
        m_nState = STATE_PLAY;
        extra = kTickMs;
        break;
    default: break;
    }
    return extra;
}

BOOL CPFGame::StartThread()
{
    if (IsThreadRunning()) {
        return TRUE;
    }
    if (m_hThread) {
        ::WaitForSingleObject(m_hThread, INFINITE);
        ::CloseHandle(m_hThread);
        m_hThread = nullptr;
    }
    m_nState = STATE_IDLE;
    m_bStop = 0;
    ::ResetEvent(m_hStopEvent);
    m_bThreadEnded = 0;
    unsigned id = 0;
    m_hThread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &CPFGame::ThreadBody, this, 0, &id));
    if (!m_hThread) {
        m_bThreadEnded = 1;
        return FALSE;
    }
    return TRUE;
}

void CPFGame::StopThread()
{
    m_bStop = 1;
    ::SetEvent(m_hStopEvent);
    if (!m_hThread) {
        return;
    }
    if (::WaitForSingleObject(m_hThread, 1000) != WAIT_OBJECT_0) {
        ::WaitForSingleObject(m_hThread, INFINITE);
    }
    ::CloseHandle(m_hThread);
    m_hThread = nullptr;
}

unsigned __stdcall CPFGame::ThreadBody(void* self)
{
    static_cast<CPFGame*>(self)->Run();
    return 0;
}

BOOL CPFGame::WaitTick(DWORD ms)
{
    return ::WaitForSingleObject(m_hStopEvent, ms) != WAIT_OBJECT_0 && !m_bStop;
}

BOOL CPFGame::EnterLockOrStop()
{
    while (!m_bStop) {
        if (GlobalLockTryEnter()) {
            return TRUE;
        }
        ::Sleep(1);
    }
    return FALSE;
}

void CPFGame::Run()
{
    while (!m_bStop) {
        // A wrong cell stays marked for a tick before the walker goes back.
        if (m_nState == STATE_WRONG && !WaitTick(kTickMs)) {
            break;
        }
        if (!EnterLockOrStop()) {
            break;
        }
        int extra = 0;
        if (!m_bStop) {
            extra = Step();
        }
        GlobalLockLeave();
        if (!WaitTick(static_cast<DWORD>(kTickMs + extra))) {
            break;
        }
    }
    m_bThreadEnded = 1;
}
