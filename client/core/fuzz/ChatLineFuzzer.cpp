// Chat from a hostile peer and lines typed by anyone: any bytes as the text, any colour and kind
// bytes, through the chat window's log and its entered-line path over the generated skin, and
// into a balloon's field. Nothing is read past a text, no format is taken from one, and every
// colour lands in the table.
#include "ChatWnd.h"
#include "ClientGlobals.h"
#include "SessionRecords.h"
#include "TexMo.h"
#include "AvatarSlot.h"

#include <MainSkin.h>
#include <ToolkitShared.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include <unistd.h>

namespace {

class QuietHost : public CChatHost {
public:
    BOOL SendChat(LPCSTR text, int kind, int colour) override
    {
        if (!text || colour < 0 || colour >= CChatWnd::kColourCount || kind < 0) {
            std::abort();
        }
        return TRUE;
    }
    char GetOwnGender() override { return gender; }
    int GetRoomType() override { return 3; }
    void OnChatCommand(Command) override {}
    char gender = 'M';
};

const std::filesystem::path& Scratch()
{
    static const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("chatline-fuzz-" + std::to_string(getpid()));
    return path;
}

struct Fixture {
    Fixture()
    {
        const auto home = std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() / "yonda";
        // "/texmodebug" writes into the current folder: one of the fuzzer's own.
        static const bool entered = [] {
            std::filesystem::create_directories(Scratch());
            if (chdir(Scratch().c_str()) != 0) {
                std::abort();
            }
            std::atexit([] {
                std::error_code ignored;
                std::filesystem::remove_all(Scratch(), ignored);
            });
            return true;
        }();
        (void)entered;
        g_strInstallPath = home.c_str();
        ToolkitSetSkinFolder(SkinFolderOf("Orange"));
        skin.LoadSkin(g_strInstallPath, "Orange");
        g_pMainSkin = &skin;
        texmo.LoadLists((home / "Data" / "prb").c_str());
        g_pTexMo = &texmo;
        parent.CreateEx(0, AfxRegisterWndClass(0), "parent", WS_POPUP, CRect(0, 0, 800, 600), nullptr, 0);
        if (!chat.CreateChat(&parent, &skin.Element(CMainSkin::CHAT_WINDOW), &host)) {
            std::abort();
        }
    }
    ~Fixture()
    {
        chat.DestroyWindow();
        parent.DestroyWindow();
        g_pTexMo = nullptr;
        g_pMainSkin = nullptr;
    }
    CMainSkin skin;
    CTexMo texmo;
    CWnd parent;
    QuietHost host;
    CChatWnd chat;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2) {
        return 0;
    }
    // The windows of one input, gone with it.
    auto fixture = std::make_unique<Fixture>();
    const int colour = data[0];
    fixture->host.gender = (data[1] & 1) ? 'F' : 'M';
    g_bGermanText = (data[1] & 2) != 0;
    const std::string text(reinterpret_cast<const char*>(data + 2), size - 2);
    const std::string line = text.substr(0, text.find('\0'));
    fixture->chat.AddChatLine(line.c_str(), line.c_str(), colour);
    if (CChatWnd::ChatColour(colour) != fixture->chat.Log().GetLine(fixture->chat.Log().GetLineCount() - 1).crText) {
        std::abort();
    }
    fixture->chat.AddPlainLine(line.c_str());
    // What the input line would hand on: at most its 150 bytes.
    fixture->chat.OnLineEntered(line.substr(0, CSkinEdit::kInputLineLimit).c_str());
    fixture->chat.OnEmotionPicked(data[1]);
    AVATAR_SLOT slot;
    CopyField(slot.szBalloon, line.c_str(), line.size());
    if (slot.szBalloon[sizeof(slot.szBalloon) - 1] != '\0') {
        std::abort();
    }
    return 0;
}
