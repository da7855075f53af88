// CFile::GetStatus: files and folders by Windows path, their size, kind and times; nothing for
// what is not there.
#include <afxwin.h>

#include <gtest/gtest.h>

#include "TempFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <string>

namespace {

class FileStatus : public ::testing::Test {
protected:
    void SetUp() override { m_folder.Write("Sub/Data.bin", std::string(1234, 'x')); }

    // The folder as a Windows path: backslashes, and letters in another case than on disk.
    std::string WindowsPath(const std::string& rest) const
    {
        std::string path = m_folder.Root() + "\\" + rest;
        for (char& c : path)
            if (c == '/')
                c = '\\';
        return path;
    }

    yonda::testing::TempFolder m_folder{"yonda-filestatus"};
};

TEST_F(FileStatus, AFileHasItsSizeKindAndTimes)
{
    const std::time_t before = std::time(nullptr) - 5;
    CFileStatus status;
    const std::string path = WindowsPath("sub\\DATA.BIN");
    ASSERT_TRUE(CFile::GetStatus(path.c_str(), status));
    EXPECT_EQ(status.m_size, 1234u);
    EXPECT_EQ(status.m_attribute & CFile::directory, 0);
    EXPECT_NE(status.m_attribute & CFile::archive, 0);
    EXPECT_EQ(status.m_attribute & CFile::readOnly, 0);
    EXPECT_GE(status.m_mtime.GetTime(), before);
    EXPECT_STREQ(status.m_szFullName, path.c_str());
}

TEST_F(FileStatus, AFolderIsThereWithoutSize)
{
    CFileStatus status;
    ASSERT_TRUE(CFile::GetStatus(WindowsPath("Sub").c_str(), status));
    EXPECT_NE(status.m_attribute & CFile::directory, 0);
    EXPECT_EQ(status.m_size, 0u);
    // With its closing backslash too, as folder names are often kept.
    EXPECT_TRUE(CFile::GetStatus(WindowsPath("Sub\\").c_str(), status));
}

TEST_F(FileStatus, NothingThereAnswersFalseAndClearsTheStatus)
{
    CFileStatus status;
    status.m_size = 99;
    EXPECT_FALSE(CFile::GetStatus(WindowsPath("Sub\\Missing.bin").c_str(), status));
    EXPECT_EQ(status.m_size, 0u);
    EXPECT_EQ(status.m_szFullName[0], '\0');
    EXPECT_FALSE(CFile::GetStatus(WindowsPath("NoFolder\\Data.bin").c_str(), status));
    EXPECT_FALSE(CFile::GetStatus("", status));
    EXPECT_FALSE(CFile::GetStatus(nullptr, status));
}

TEST_F(FileStatus, AReadOnlyFileSaysSo)
{
    const auto file = m_folder / "Sub" / "Data.bin";
    std::filesystem::permissions(file, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    CFileStatus status;
    ASSERT_TRUE(CFile::GetStatus(WindowsPath("Sub\\Data.bin").c_str(), status));
    EXPECT_NE(status.m_attribute & CFile::readOnly, 0);
}

TEST_F(FileStatus, ARelativePathIsMadeFullAgainstTheCurrentDirectory)
{
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(m_folder.Root().c_str()), 0);
    CFileStatus status;
    const bool found = CFile::GetStatus("Sub\\Data.bin", status);
    ASSERT_EQ(chdir(previous), 0);
    ASSERT_TRUE(found);
    EXPECT_EQ(std::string(status.m_szFullName), WindowsPath("Sub\\Data.bin"));
}

} // namespace
