#include <windows.h>
#include <yonda_capture.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

namespace {

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

TEST(MessageBoxHook, CapturesEveryBoxInOrderAndAnswersAtOnce)
{
    YondaMessageBoxCapture capture(IDCANCEL);
    EXPECT_EQ(MessageBoxA(nullptr, "Failed create vertex buffer", "Error", MB_OK | MB_ICONWARNING), IDCANCEL);
    std::thread([] { MessageBoxA(nullptr, "Render Except", nullptr, MB_OK); }).join();
    capture.SetAnswer(IDYES);
    EXPECT_EQ(MessageBoxA(nullptr, nullptr, "Q", MB_YESNO), IDYES);

    auto boxes = capture.Boxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].text, "Failed create vertex buffer");
    EXPECT_EQ(boxes[0].caption, "Error");
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK | MB_ICONWARNING));
    EXPECT_EQ(boxes[1].text, "Render Except");
    EXPECT_EQ(boxes[1].caption, "Error"); // the platform's caption when none is given
    EXPECT_EQ(boxes[2].text, "");
}

TEST(MessageBoxHook, WithoutAHandlerTheBoxGoesToStderrAndAnswersItsDefaultButton)
{
    CaptureStderr();
    EXPECT_EQ(MessageBoxA(nullptr, "\xC8\xAD\xB8\xE9\xBF\xA1\xB7\xAF\xC0\xD4\xB4\xCF\xB4\xD9.", "Yonda", MB_OK), IDOK);
    EXPECT_EQ(MessageBoxA(nullptr, "Quit?", "Yonda", MB_YESNO | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, "Again?", "Yonda", MB_RETRYCANCEL), IDRETRY);
    std::string err = GetCapturedStderr();
    // Korean text reaches the terminal as UTF-8.
    EXPECT_NE(err.find("[Yonda] \xED\x99\x94\xEB\xA9\xB4\xEC\x97\x90\xEB\x9F\xAC\xEC\x9E\x85\xEB\x8B\x88\xEB\x8B\xA4."),
              std::string::npos)
        << err;
    EXPECT_NE(err.find("Quit?\n"), std::string::npos);
}

TEST(MessageBoxHook, ThePresenterShowsBoxesUnlessACaptureHookIsSet)
{
    static int presented;
    presented = 0;
    YondaSetMessageBoxPresenter(
        [](void*, HWND, LPCSTR, LPCSTR, UINT) {
            ++presented;
            return IDABORT;
        },
        nullptr);
    EXPECT_EQ(MessageBoxA(nullptr, "a", "b", MB_OK), IDABORT);
    {
        YondaMessageBoxCapture capture;
        EXPECT_EQ(MessageBoxA(nullptr, "a", "b", MB_OK), IDOK);
    }
    YondaSetMessageBoxPresenter(nullptr, nullptr);
    EXPECT_EQ(presented, 1);
}

TEST(DebugOutputHook, CapturesEveryCallAndWritesStderrOnlyWhenAsked)
{
    YondaDebugOutputCapture capture;
    unsetenv("YONDA_DEBUG_OUTPUT");
    CaptureStderr();
    OutputDebugStringA("StartMoveAndRotate");
    OutputDebugStringA("UpdateMoveAndRotate");
    OutputDebugStringA(nullptr);
    EXPECT_EQ(GetCapturedStderr(), "");

    setenv("YONDA_DEBUG_OUTPUT", "1", 1);
    CaptureStderr();
    OutputDebugStringA("Create Avatar\n");
    EXPECT_EQ(GetCapturedStderr(), "Create Avatar\n");
    unsetenv("YONDA_DEBUG_OUTPUT");

    EXPECT_EQ(capture.Calls(),
              (std::vector<std::string>{"StartMoveAndRotate", "UpdateMoveAndRotate", "Create Avatar\n"}));
    EXPECT_EQ(capture.Text(), "StartMoveAndRotateUpdateMoveAndRotateCreate Avatar\n");
}

} // namespace
