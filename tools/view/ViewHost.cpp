#include "ViewHost.h"

#include <Kravex.h>
#include <d3d8.h>
#include <d3dx8.h>
#include <windows.h>
#include <yonda_capture.h>
#include <yonda_display.h>
#include <yonda_platform.h>
#include <yonda_user.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The client's places of its special motions in the two kinds' motion lists.
constexpr int kIdle[2] = {0, 0};
constexpr int kWalk[2] = {41, 35};
constexpr DWORD kWalkSpeed = 44;
constexpr DWORD kBalloonFormat = 0x1A111;
constexpr DWORD kLabelFormat = 0x111;
// How far past a walk's goal the ground is looked at: a grid cell of the sample worlds.
constexpr float kGoalProbe = 10.0f;

struct ListEntry {
    DWORD dwKind = 0;
    std::string strName;
};

struct AvatarList {
    DWORD adwHeader[3] = {};
    std::vector<ListEntry> vItems;
};

struct Avatar {
    _KRA_HANDLE h = 0;
    int nKind = 0;
    D3DXVECTOR3 vOffset;
    int nNextStart = 0;
};

// Arrivals as the engine reports them; the next walk starts outside the engine's call.
std::set<_KRA_HANDLE> g_sArrived;

void OnEngineMessage(LONG lCode, LONG, void* pData)
{
    if (lCode == KRA_MSG_MOVE_END && pData)
        g_sArrived.insert(*static_cast<const _KRA_HANDLE*>(pData));
}

LRESULT CALLBACK ViewWindowProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg == WM_CLOSE || (uMsg == WM_KEYDOWN && wParam == VK_ESCAPE)) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, uMsg, wParam, lParam);
}

bool Fail(const std::string& strWhat)
{
    std::fprintf(stderr, "kravex-view: %s\n", strWhat.c_str());
    return false;
}

bool Set(const char* szName)
{
    const char* sz = std::getenv(szName);
    return sz && *sz;
}

// Why a window cannot be shown here, or empty when a desktop is there to show it on. A video
// driver named through SDL_VIDEODRIVER stands for a desktop.
std::string WhyNoDesktop()
{
    if (Set("YONDA_HEADLESS"))
        return "--window needs a desktop, but YONDA_HEADLESS is set";
    if (!Set("DISPLAY") && !Set("WAYLAND_DISPLAY") && !Set("SDL_VIDEODRIVER"))
        return "--window needs a desktop, but neither DISPLAY nor WAYLAND_DISPLAY is set (use --out DIR)";
    return {};
}

// The engine's own lines about the files it could not load, joined for one message.
std::string FileFailures(const YondaDebugOutputCapture& capture)
{
    std::string strOut;
    const std::string strPrefix = "Kravex = ";
    for (std::string line : capture.Calls()) {
        if (line.rfind(strPrefix, 0) != 0)
            continue;
        line.erase(0, strPrefix.size());
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
            line.pop_back();
        strOut += (strOut.empty() ? "" : "; ") + line;
    }
    return strOut;
}

bool ReadAvatarList(const fs::path& path, AvatarList& list)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return Fail("cannot read the avatar list " + path.string());
    std::vector<unsigned char> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t at = 0;
    auto u32 = [&](DWORD& v) {
        if (at + 4 > b.size())
            return false;
        v = DWORD(b[at]) | DWORD(b[at + 1]) << 8 | DWORD(b[at + 2]) << 16 | DWORD(b[at + 3]) << 24;
        at += 4;
        return true;
    };
    DWORD dwCount = 0;
    if (!u32(list.adwHeader[0]) || !u32(list.adwHeader[1]) || !u32(list.adwHeader[2]) || !u32(dwCount) || dwCount > 360)
        return Fail("the avatar list " + path.string() + " is broken");
    for (DWORD i = 0; i < dwCount; ++i) {
        ListEntry e;
        DWORD dwLength = 0;
        if (!u32(e.dwKind) || !u32(dwLength) || dwLength == 0 || dwLength > 31 || at + dwLength > b.size())
            return Fail("the avatar list " + path.string() + " is broken");
        e.strName.assign(reinterpret_cast<const char*>(&b[at]), dwLength);
        at += dwLength;
        list.vItems.push_back(e);
    }
    return true;
}

// The motion list of the two kinds as the client reads it: the bind pose, then every motion.
struct MotionList {
    std::string strInit[2];
    std::vector<std::string> vFiles[2];
};

bool ReadMotionList(const fs::path& path, MotionList& motions)
{
    std::ifstream in(path);
    if (!in)
        return Fail("cannot read the motion list " + path.string() + " (give one with --motions)");
    std::map<std::string, std::string> values[2];
    int nSection = -1;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.rfind("[BoyMotion]", 0) == 0)
            nSection = 0;
        else if (line.rfind("[GirlMotion]", 0) == 0)
            nSection = 1;
        else if (!line.empty() && line[0] == '[')
            nSection = -1;
        else if (size_t eq = line.find('='); nSection >= 0 && eq != std::string::npos) {
            auto trim = [](std::string s) {
                s.erase(0, s.find_first_not_of(" \t"));
                s.erase(s.find_last_not_of(" \t") + 1);
                return s;
            };
            values[nSection][trim(line.substr(0, eq))] = trim(line.substr(eq + 1));
        }
    }
    for (int k = 0; k < 2; ++k) {
        motions.strInit[k] = values[k]["Init"];
        int n = std::atoi(values[k]["nTotalMotion"].c_str());
        for (int i = 0; i < n; ++i)
            motions.vFiles[k].push_back(values[k]["File" + std::to_string(i)]);
        if (motions.strInit[k].empty() || motions.vFiles[k].empty())
            return Fail("the motion list " + path.string() + " names no motions for both kinds");
    }
    return true;
}

// A list's items, some swapped for other numbers of their category so that no two neighbours
// dress alike: item files are named g0cNNN0.KRI (kind digit, category, number).
std::vector<KRA_AVATAR_ITEM> Dress(const AvatarList& list, int nVariant, const fs::path& kriFolder)
{
    std::vector<KRA_AVATAR_ITEM> v;
    for (const ListEntry& e : list.vItems) {
        std::string name = e.strName;
        if (nVariant > 0 && name.size() == 11 && name.compare(7, 4, ".KRI") == 0) {
            int nCategory = name[2] - '0';
            for (int step = 0; step < 3; ++step) {
                std::string candidate = name;
                int nNumber = (std::atoi(name.substr(3, 3).c_str()) + nVariant * (nCategory + 1) + step) % 3;
                char digits[4];
                std::snprintf(digits, sizeof(digits), "%03d", nNumber);
                candidate.replace(3, 3, digits);
                if (fs::exists(YondaHostPath((kriFolder / candidate).string().c_str()))) {
                    name = candidate;
                    break;
                }
            }
        }
        KRA_AVATAR_ITEM item{};
        item.dwItemKind = e.dwKind;
        std::snprintf(item.szItemFile, sizeof(item.szItemFile), "%s", name.c_str());
        v.push_back(item);
    }
    return v;
}

class View {
public:
    explicit View(const ViewOptions& options) : m_o(options) {}
    ~View() { Close(); }

    bool Open();
    bool PlaceAvatars();
    bool Run();

private:
    void Close();
    bool LoadMotions();
    void StartWalk(Avatar& avatar);
    D3DXVECTOR3 Reachable(const D3DXVECTOR3& vFrom, const D3DXVECTOR3& vTo) const;
    D3DXVECTOR3 Start(int i) const { return m_vStarts[size_t(i) % m_vStarts.size()]; }
    void DrawOverlay();
    bool Frame(int nFrame);

    const ViewOptions& m_o;
    HWND m_hwnd = nullptr;
    IDirect3D8* m_pD3D = nullptr;
    IDirect3DDevice8* m_pDevice = nullptr;
    CKRAManager* m_pManager = nullptr;
    _KRA_HANDLE m_hScene = 0;
    CKRAScene* m_pScene = nullptr;
    std::vector<D3DXVECTOR3> m_vStarts;
    std::vector<Avatar> m_vAvatars;
    std::vector<_KRA_HANDLE> m_vHandles;
    std::string m_strBalloon, m_strData;
    CKRAHandle<tagKRADS> m_hOwnBalloon, m_hOtherBalloon;
    bool m_bManualClock = false;
};

bool View::Open()
{
    m_strData = fs::absolute(m_o.strData).string();
    if (!fs::is_directory(m_strData))
        return Fail("no data folder " + m_o.strData);
    if (!fs::exists(YondaHostPath((fs::path(m_strData) / "WORLD" / m_o.strScene).string().c_str())))
        return Fail("no scene " + m_o.strScene + " in " + m_o.strData + "/WORLD");
    if (m_o.bWindow) {
        if (std::string strWhy = WhyNoDesktop(); !strWhy.empty())
            return Fail(strWhy);
        if (!YondaStartDisplay())
            return Fail("--window: the desktop cannot be reached (DISPLAY=" +
                        std::string(Set("DISPLAY") ? std::getenv("DISPLAY") : "") + ")");
    }
    // Files are drawn on the engine's own clock, one tick per frame, so that a run is repeatable.
    m_bManualClock = !m_o.strOut.empty() || !m_o.bWindow;
    YondaClockSetManual(m_bManualClock);

    WNDCLASSA wc{};
    wc.lpfnWndProc = ViewWindowProc;
    wc.lpszClassName = "KravexView";
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    RegisterClassA(&wc);
    m_hwnd = CreateWindowExA(0, "KravexView", "Kravex view", WS_POPUP | WS_VISIBLE, 0, 0, m_o.nWidth, m_o.nHeight,
                             nullptr, nullptr, nullptr, nullptr);
    if (!m_hwnd)
        return Fail("cannot make a window");

    m_pD3D = Direct3DCreate8(D3D_SDK_VERSION);
    if (!m_pD3D)
        return Fail("no Direct3D renderer");
    D3DPRESENT_PARAMETERS pp{};
    pp.BackBufferWidth = UINT(m_o.nWidth);
    pp.BackBufferHeight = UINT(m_o.nHeight);
    pp.BackBufferFormat = D3DFMT_X8R8G8B8;
    pp.BackBufferCount = 1;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.hDeviceWindow = m_hwnd;
    pp.Windowed = TRUE;
    pp.EnableAutoDepthStencil = TRUE;
    pp.AutoDepthStencilFormat = D3DFMT_D24S8;
    if (FAILED(m_pD3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, m_hwnd,
                                    D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_MULTITHREADED, &pp, &m_pDevice)))
        return Fail("cannot create the Direct3D device");
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    m_pDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
    m_pDevice->SetRenderState(D3DRS_ZENABLE, TRUE);

    std::string strInstalled = m_strData + "/";
    if (KRACreate(m_pDevice, strInstalled.c_str(), &OnEngineMessage, &m_pManager) < 0)
        return Fail("the engine does not start over " + m_o.strData);
    // After the engine's own seeding: object phases and blinks follow the given seed.
    std::srand(m_o.nSeed);
    {
        // The engine names each file it cannot load on the debugger output.
        YondaDebugOutputCapture capture;
        if (m_pManager->LoadScene(m_o.strScene.c_str(), m_hScene) < 0 ||
            m_pManager->KraMan_GetScene(m_hScene, &m_pScene) < 0) {
            std::string strFiles = FileFailures(capture);
            return Fail("the scene " + m_o.strScene + " does not load: " +
                        (strFiles.empty() ? "a broken file or a missing map or object" : strFiles));
        }
    }

    unsigned int nStarts = 0;
    D3DXVECTOR3* pStarts = nullptr;
    if (m_pScene->GetInitPosition(&nStarts, &pStarts) >= 0)
        m_vStarts.assign(pStarts, pStarts + nStarts);
    if (m_vStarts.empty())
        m_vStarts.push_back(D3DXVECTOR3(0, 0, 0));

    D3DXVECTOR3 vCentre(0, 0, 0);
    for (const D3DXVECTOR3& v : m_vStarts)
        vCentre += v;
    vCentre /= float(m_vStarts.size());
    D3DXVECTOR3 vEye =
        m_o.vEye ? D3DXVECTOR3(m_o.vEye->x, m_o.vEye->y, m_o.vEye->z) : vCentre + D3DXVECTOR3(0, 120, -150);
    D3DXVECTOR3 vAt = m_o.vAt ? D3DXVECTOR3(m_o.vAt->x, m_o.vAt->y, m_o.vAt->z) : vCentre + D3DXVECTOR3(0, 20, 10);
    // Looking straight down or up, the world's up is no up for the camera: north is.
    D3DXVECTOR3 vLook = vAt - vEye, vUp(0, 1, 0), vSide;
    D3DXVec3Cross(&vSide, &vLook, &vUp);
    if (D3DXVec3LengthSq(&vSide) <= 1e-6f * D3DXVec3LengthSq(&vLook))
        vUp = D3DXVECTOR3(0, 0, 1);
    m_pScene->SetCameraPosition(vEye, vAt, vUp);
    m_pScene->SetProjectionMatrix(0, 0, 1.0f, 5000.0f);

    LOGFONTA log{};
    log.lfHeight = 14;
    log.lfWeight = FW_NORMAL;
    log.lfCharSet = HANGEUL_CHARSET;
    char szNickname[] = "kravex-view", szOther[] = "1.krt", szMine[] = "MyBalloon.krt";
    if (m_pScene->CreateIDFont(&log, szNickname) < 0 || m_pScene->CreateBalloonFont(&log, szOther) < 0 ||
        m_pScene->CreateMyBalloonFont(&log, szMine) < 0)
        return Fail("the overlay fonts cannot be made");
    char szOwn[] = "MyBalloon5.KRT", szOthers[] = "OtherBalloon5-1.KRT";
    m_pScene->LoadKRTTexture(szOwn, m_hOwnBalloon);
    m_pScene->LoadKRTTexture(szOthers, m_hOtherBalloon);
    m_strBalloon = YondaUtf8ToCodePage(m_o.strBalloon, 949);
    return true;
}

bool View::LoadMotions()
{
    fs::path list = m_o.strMotions.empty() ? fs::path(m_strData).parent_path() / "Skin" / "Orange" / "MotionFile.ini"
                                           : fs::path(m_o.strMotions);
    MotionList motions;
    if (!ReadMotionList(list, motions))
        return false;
    fs::path folder = fs::path(m_strData) / "AVATAR" / "Motion";
    for (int k = 0; k < 2; ++k) {
        if (m_pScene->LoadInitMotion((folder / motions.strInit[k]).string().c_str(), k) < 0)
            return Fail("the bind pose " + motions.strInit[k] + " does not load");
        for (const std::string& file : motions.vFiles[k])
            if (LONG(m_pScene->LoadMotion((folder / file).string().c_str(), k)) < 0)
                return Fail("the motion " + file + " does not load");
        if (m_o.nMotion >= int(motions.vFiles[k].size()))
            return Fail("--motion " + std::to_string(m_o.nMotion) + " is past the motion list");
    }
    return true;
}

bool View::PlaceAvatars()
{
    if (m_o.nAvatars == 0)
        return true;
    if (!LoadMotions())
        return false;
    fs::path kri = fs::path(m_strData) / "AVATAR" / "KRI";
    std::vector<std::string> vNames =
        m_o.vLists.empty() ? std::vector<std::string>{"10001.KRA", "20001.KRA"} : m_o.vLists;
    std::vector<AvatarList> vLists(vNames.size());
    for (size_t i = 0; i < vNames.size(); ++i)
        if (!ReadAvatarList(YondaHostPath((kri / vNames[i]).string().c_str()), vLists[i]))
            return false;
    for (int i = 0; i < m_o.nAvatars; ++i) {
        const AvatarList& list = vLists[size_t(i) % vLists.size()];
        std::vector<KRA_AVATAR_ITEM> vItems = Dress(list, i / int(vLists.size()), kri);
        KRA_AVATAR_STRUCTURE s{list.adwHeader[0], list.adwHeader[1], 500000u + DWORD(i), DWORD(vItems.size()),
                               vItems.data()};
        Avatar a;
        if (m_pScene->LoadAvatar(&s, a.h) < 0)
            return Fail("avatar " + std::to_string(i) + " from " + vNames[size_t(i) % vNames.size()] +
                        " does not load");
        a.nKind = !vItems.empty() && vItems[0].szItemFile[0] == '2' ? 1 : 0;
        // Avatars sharing a start position stand in a ring around it, as far out as the ground
        // lets them walk.
        int nRing = i / int(m_vStarts.size());
        float fAngle = float(nRing) * 2.4f;
        a.vOffset = nRing ? D3DXVECTOR3(std::cos(fAngle), 0, std::sin(fAngle)) * (6.0f + 4.0f * float(nRing))
                          : D3DXVECTOR3(0, 0, 0);
        D3DXVECTOR3 vAt = Reachable(Start(i), Start(i) + a.vOffset);
        a.vOffset = vAt - Start(i);
        D3DXMATRIX m;
        D3DXMatrixTranslation(&m, vAt.x, vAt.y, vAt.z);
        m_pScene->SetAvatarMatrix(a.h, m);
        m_pScene->SetMotionType(a.h, a.nKind);
        m_pScene->SetWalkSpeedOfAvatar(a.h, kWalkSpeed);
        a.nNextStart = i + 1;
        int nMotion = m_o.nMotion >= 0 ? m_o.nMotion : kIdle[a.nKind];
        m_pScene->SetMotion(a.h, nMotion, nMotion);
        m_pScene->SetLoopMotion(a.h, true);
        m_pScene->StartMotion(a.h);
        m_vAvatars.push_back(a);
        m_vHandles.push_back(a.h);
    }
    if (m_o.nFollow >= 0) {
        // As the client frames its own member: 80 behind, looking at the head.
        Avatar& a = m_vAvatars[size_t(m_o.nFollow)];
        if (m_pScene->ChangeGlobalCameraToLocalCamera(a.h) < 0)
            return Fail("avatar " + std::to_string(m_o.nFollow) + " has no camera");
        D3DXVECTOR3 v, vUp(0, 1, 0);
        m_pScene->GetAvatar3DPosition(a.h, v);
        D3DXVECTOR3 vEye(v.x, 60, v.z - 80), vAt(v.x, 45, v.z);
        m_pScene->SetCameraPosition(vEye, vAt, vUp);
    }
    if (m_o.bWalk && m_o.nMotion < 0)
        for (Avatar& a : m_vAvatars)
            StartWalk(a);
    return true;
}

void View::StartWalk(Avatar& a)
{
    D3DXVECTOR3 vFrom, vTo = Start(a.nNextStart) + a.vOffset;
    if (m_vStarts.size() == 1)
        vTo += D3DXVECTOR3(a.nNextStart % 2 ? 30.0f : -30.0f, 0, 0);
    a.nNextStart++;
    m_pScene->GetAvatar3DPosition(a.h, vFrom);
    vTo = Reachable(vFrom, vTo);
    m_pScene->StopAvatar(a.h);
    m_pScene->SetMotion(a.h, kWalk[a.nKind], kWalk[a.nKind]);
    m_pScene->StartMotion(a.h);
    m_pScene->MoveToAvatar(a.h, vTo);
}

// As the client does: a walk into furniture or a wall stops in the last free cell before it. The
// walk is looked at a little past the goal, since the engine's walk never tests the goal's own
// cell: a goal on blocked ground stops short of it.
D3DXVECTOR3 View::Reachable(const D3DXVECTOR3& vFrom, const D3DXVECTOR3& vTo) const
{
    D3DXVECTOR3 vWay = vTo - vFrom;
    float fLength = D3DXVec3Length(&vWay);
    if (fLength < 0.01f)
        return vTo;
    D3DXVECTOR3 vStart = vFrom, vBeyond = vTo + vWay * (kGoalProbe / fLength), vStop;
    if (m_pScene->CheckCollision(vStart, vBeyond, vStop) == KRA_OK)
        return D3DXVECTOR3(vStop.x, vTo.y, vStop.z);
    return vTo;
}

void View::DrawOverlay()
{
    if (m_strBalloon.empty() && !m_o.bLabels)
        return;
    D3DXVECTOR3 vEye = m_pScene->GetEyePosition(), vAt = m_pScene->GetLookAtPosition(), vLook = vAt - vEye;
    for (size_t i = 0; i < m_vAvatars.size(); ++i) {
        _KRA_HANDLE h = m_vAvatars[i].h;
        D3DXVECTOR3 vPosition, vScreen;
        m_pScene->GetAvatar3DPosition(h, vPosition);
        D3DXVECTOR3 vToAvatar = vPosition - vEye;
        if (D3DXVec3Dot(&vToAvatar, &vLook) <= 0)
            continue;
        if (!m_strBalloon.empty() && m_pScene->GetAvatar2DPosition(h, 0, 6, 0, vScreen) == KRA_OK) {
            LONG x = LONG(vScreen.x), y = LONG(vScreen.y);
            RECT box{x - 100, y - 100, x + 100, y - 10};
            std::string text = m_strBalloon;
            m_pScene->DrawID(text.data(), &box, kBalloonFormat, 0xFF202020, true,
                             i == 0 ? &m_hOwnBalloon : &m_hOtherBalloon, 0);
        }
        if (m_o.bLabels && m_pScene->GetAvatar2DPosition(h, 0, 2, 0, vScreen) == KRA_OK) {
            LONG x = LONG(vScreen.x), y = LONG(vScreen.y);
            std::string label = YondaUtf8ToCodePage("손님 " + std::to_string(i + 1), 949);
            // A white outline first, then the name, as the client draws the hovered member.
            for (RECT r : {RECT{x - 100, y - 45, x + 100, y - 1}, RECT{x - 100, y - 44, x + 100, y + 1},
                           RECT{x - 101, y - 45, x + 99, y}, RECT{x - 99, y - 45, x + 101, y}})
                m_pScene->DrawID(label.data(), &r, kLabelFormat, 0xFFFFFFFF, false, nullptr, 0);
            RECT r{x - 100, y - 45, x + 100, y};
            m_pScene->DrawID(label.data(), &r, kLabelFormat, 0xFF1040A0, false, nullptr, 0);
        }
    }
}

bool View::Frame(int nFrame)
{
    if (!m_vHandles.empty())
        m_pScene->UpdateMoveAvatar(m_vHandles.data(), unsigned(m_vHandles.size()));
    for (Avatar& a : m_vAvatars)
        if (g_sArrived.erase(a.h) && m_o.bWalk && m_o.nMotion < 0)
            StartWalk(a);
    if (m_o.fTurn != 0)
        m_pScene->Rotate(m_o.fTurn, 0);
    if (m_o.fForward > 0)
        m_pScene->Forward(m_o.fForward);
    else if (m_o.fForward < 0)
        m_pScene->Backward(-m_o.fForward);

    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF6080A0, 1.0f, 0);
    m_pDevice->BeginScene();
    LONG lStatus = m_pScene->Render(unsigned(m_vHandles.size()), m_vHandles.empty() ? nullptr : m_vHandles.data());
    DrawOverlay();
    m_pDevice->EndScene();
    if (lStatus < 0)
        return Fail("drawing frame " + std::to_string(nFrame) + " failed");
    m_pDevice->Present(nullptr, nullptr, m_hwnd, nullptr);
    if (!m_o.strOut.empty()) {
        char szName[32];
        std::snprintf(szName, sizeof(szName), "frame-%04d.png", nFrame);
        std::string path = (fs::path(m_o.strOut) / szName).string();
        if (!YondaCaptureWindowToPng(m_hwnd, path.c_str()))
            return Fail("cannot write " + path);
    }
    if (m_bManualClock)
        YondaClockAdvance(DWORD(m_o.nFrameMs));
    return true;
}

bool View::Run()
{
    if (!m_o.strOut.empty()) {
        std::error_code error;
        fs::create_directories(m_o.strOut, error);
        if (!fs::is_directory(m_o.strOut))
            return Fail("cannot make the folder " + m_o.strOut);
    }
    for (int n = 0; m_o.nFrames < 0 || n < m_o.nFrames; ++n) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                return true;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        DWORD dwStart = GetTickCount();
        if (!Frame(n))
            return false;
        if (m_o.bWindow) {
            YondaDisplayFlush();
            DWORD dwSpent = GetTickCount() - dwStart;
            if (dwSpent < DWORD(m_o.nFrameMs))
                Sleep(DWORD(m_o.nFrameMs) - dwSpent);
        }
    }
    return true;
}

void View::Close()
{
    for (Avatar& a : m_vAvatars)
        if (m_pScene)
            m_pScene->UnloadAvatar(a.h);
    m_vAvatars.clear();
    if (m_hScene && m_pManager)
        m_pManager->UnloadScene(m_hScene);
    m_hScene = 0;
    m_pScene = nullptr;
    if (m_pManager)
        KRADestroy();
    m_pManager = nullptr;
    if (m_pDevice)
        m_pDevice->Release();
    m_pDevice = nullptr;
    if (m_pD3D)
        m_pD3D->Release();
    m_pD3D = nullptr;
    if (m_hwnd)
        DestroyWindow(m_hwnd);
    m_hwnd = nullptr;
    if (m_bManualClock)
        YondaClockSetManual(FALSE);
}

} // namespace

int RunView(const ViewOptions& options)
{
    View view(options);
    bool bOk = view.Open() && view.PlaceAvatars() && view.Run();
    return bOk ? 0 : 1;
}
