// Opening addresses and folders: a stand-in xdg-open on PATH records the arguments it was given,
// so the tests see exactly what the desktop's handler would get.
#include "TempFolder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace fs = std::filesystem;

namespace {

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = m_temp.Path();
        m_temp.MakeFolder("bin");
        m_record = m_dir / "record.txt";
        std::ofstream script(m_dir / "bin" / "xdg-open");
        script << "#!/bin/sh\n"
                  "printf '%s\\n' \"$#\" \"$@\" > \"$YONDA_TEST_RECORD.tmp\"\n"
                  "/bin/mv \"$YONDA_TEST_RECORD.tmp\" \"$YONDA_TEST_RECORD\"\n";
        script.close();
        fs::permissions(m_dir / "bin" / "xdg-open", fs::perms::owner_all);
        const char* path = std::getenv("PATH");
        m_oldPath = path ? path : "";
        setenv("PATH", (m_dir / "bin").c_str(), 1);
        setenv("YONDA_TEST_RECORD", m_record.c_str(), 1);
    }
    void TearDown() override { setenv("PATH", m_oldPath.c_str(), 1); }
    // The arguments the handler got, one a line after their count; empty if it never ran.
    std::string Recorded()
    {
        for (int i = 0; i < 1000 && !fs::exists(m_record); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::ifstream in(m_record);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static intptr_t Open(const char* target, const char* operation = "open", const char* directory = nullptr)
    {
        return reinterpret_cast<intptr_t>(ShellExecuteA(nullptr, operation, target, nullptr, directory, SW_SHOWNORMAL));
    }

    yonda::testing::TempFolder m_temp{"yonda-shell"};
    fs::path m_dir;
    fs::path m_record;
    std::string m_oldPath;
};

TEST_F(ShellTest, AnAddressReachesTheHandlerAsOneUntouchedArgument)
{
    const char* url = "https://example.com/a b;touch $(echo pwned)&x='1'";
    EXPECT_GT(Open(url), 32);
    EXPECT_EQ(Recorded(), std::string("1\n") + url + "\n");
    EXPECT_FALSE(fs::exists("pwned"));
}

TEST_F(ShellTest, AWebNameWithoutSchemeIsAnAddressAndNoVerbMeansOpen)
{
    EXPECT_GT(Open("www.example.com/help", nullptr), 32);
    EXPECT_EQ(Recorded(), "1\nhttp://www.example.com/help\n");
}

TEST_F(ShellTest, AFolderIsResolvedWithoutRegardToCase)
{
    fs::create_directories(m_dir / "Shots" / "May");
    std::string windowsPath = (m_dir / "SHOTS" / "may").string();
    EXPECT_GT(Open(windowsPath.c_str()), 32);
    EXPECT_EQ(Recorded(), "1\n" + (m_dir / "Shots" / "May").string() + "\n");
}

TEST_F(ShellTest, ARelativeNameIsTakenInTheGivenFolderAndNeverAsAnOption)
{
    fs::create_directories(m_dir / "-rf");
    EXPECT_GT(Open("-rf", "open", m_dir.c_str()), 32);
    EXPECT_EQ(Recorded(), "1\n" + (m_dir / "-rf").string() + "\n");
}

TEST_F(ShellTest, FailuresAreAnsweredNotFatal)
{
    EXPECT_EQ(Open((m_dir / "missing").c_str()), SE_ERR_FNF);
    EXPECT_EQ(Open(""), SE_ERR_FNF);
    EXPECT_EQ(Open(nullptr), SE_ERR_FNF);
    EXPECT_EQ(Open("http://example.com/\nsecond line"), SE_ERR_FNF);
    EXPECT_EQ(Open("http://example.com", "print"), SE_ERR_NOASSOC);
    setenv("PATH", (m_dir / "nowhere").c_str(), 1);
    EXPECT_EQ(Open("http://example.com"), SE_ERR_NOASSOC);
    EXPECT_FALSE(fs::exists(m_record));
}

} // namespace
