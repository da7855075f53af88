// A small program of the platform that lives like the client in a home folder: it finds its home
// from its own file, reads Yonda.ini there, shows a window of class and title "Yonda Alpha" (the
// title from Window/Title) with
//   1001 an edit, 1002 "ServerIp=..." from Server/ServerIp, 1003 whether the skin is there,
//   1004 a button that probes the service at ServerIp:7001, 1005 the probe's answer,
//   1006 a button that shows a message box, 1007 what the box answered;
// and at its end writes the edit's text back as Option/SavedID.
#include <windows.h>
#include <winsock2.h>
#include <yonda_platform.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string g_settings; // the settings file's Windows path
std::string g_serverIp;

std::string HomeFolder()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string file(path, length);
    return file.substr(0, file.rfind('\\'));
}

std::string ReadAll(const std::string& windowsPath)
{
    std::ifstream file(YondaHostPath(windowsPath.c_str()), std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// The value of the first "Key = Value" line with that key.
std::string Value(const std::string& settings, const std::string& key)
{
    std::istringstream lines(settings);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.rfind(key + " = ", 0) == 0)
            return line.substr(key.size() + 3);
    }
    return {};
}

std::string Probe(const std::string& address)
{
    SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(7001);
    to.sin_addr.s_addr = inet_addr(address.c_str());
    std::string answer;
    if (connect(s, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
        answer = "probe: refused";
    } else {
        const char request[] = {0, 7, 0, 4};
        send(s, request, 4, 0);
        char reply[16];
        int got = 0, n;
        while (got < 5 && (n = recv(s, reply + got, static_cast<int>(sizeof reply) - got, 0)) > 0)
            got += n;
        answer = "probe: " + std::to_string(got) + " bytes";
    }
    closesocket(s);
    return answer;
}

void SaveId(HWND window)
{
    char id[64];
    GetDlgItemTextA(window, 1001, id, sizeof id);
    // The key replaced where it is, or put right after its section's header.
    std::string saved = std::string("SavedID = ") + id + "\r\n";
    std::string text = ReadAll(g_settings), out, line;
    bool found = text.find("SavedID = ") != std::string::npos;
    std::istringstream lines(text);
    while (std::getline(lines, line)) {
        if (line.rfind("SavedID = ", 0) == 0) {
            out += saved;
            continue;
        }
        out += line + "\n";
        if (!found && line.rfind("[Option]", 0) == 0)
            out += saved;
    }
    std::ofstream(YondaHostPath(g_settings.c_str()), std::ios::binary) << out;
}

LRESULT CALLBACK MainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == 1004)
            SetDlgItemTextA(hwnd, 1005, Probe(g_serverIp).c_str());
        if (LOWORD(wParam) == 1006) {
            int answer = MessageBoxA(hwnd, "Probe box", "Yonda Alpha box", MB_OKCANCEL);
            SetDlgItemTextA(hwnd, 1007, answer == IDOK ? "box ok" : "box cancel");
        }
        return 0;
    case WM_DESTROY:
        SaveId(hwnd);
        PostQuitMessage(0);
        return 0;
    default: return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

} // namespace

int main()
{
    std::string home = HomeFolder();
    g_settings = home + "\\Yonda.ini";
    std::string settings = ReadAll(g_settings);
    if (settings.empty()) {
        MessageBoxA(nullptr, ("cannot read " + g_settings).c_str(), "Yonda Alpha", MB_OK);
        return 1;
    }
    g_serverIp = Value(settings, "ServerIp");
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);

    WNDCLASSA cls{};
    cls.lpfnWndProc = &MainProc;
    cls.lpszClassName = "Yonda Alpha";
    cls.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    RegisterClassA(&cls);
    HWND window = CreateWindowExA(0, "Yonda Alpha", Value(settings, "Title").c_str(), WS_POPUP | WS_VISIBLE, 20, 20,
                                  320, 180, nullptr, nullptr, nullptr, nullptr);
    auto child = [window](const char* cls, const std::string& text, int id, int x, int y, int w) {
        CreateWindowExA(0, cls, text.c_str(), WS_CHILD | WS_VISIBLE | (cls[0] == 'E' ? WS_BORDER : 0), x, y, w, 22,
                        window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    };
    bool skin = !ReadAll(home + "\\Skin\\Orange\\default.ini").empty();
    child("EDIT", "", 1001, 10, 10, 200);
    child("STATIC", "ServerIp=" + g_serverIp, 1002, 10, 40, 300);
    child("STATIC", skin ? "skin: yes" : "skin: no", 1003, 10, 70, 300);
    child("BUTTON", "Probe", 1004, 10, 100, 80);
    child("STATIC", "", 1005, 100, 100, 200);
    child("BUTTON", "Box", 1006, 10, 130, 80);
    child("STATIC", "", 1007, 100, 130, 200);
    SetFocus(GetDlgItem(window, 1001));

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    WSACleanup();
    return static_cast<int>(msg.wParam);
}
