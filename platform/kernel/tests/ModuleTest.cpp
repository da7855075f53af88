#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

TEST(Module, FileNameIsABackslashPathEndingInTheProgramName)
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof(path));
    ASSERT_GT(n, 0u);
    EXPECT_EQ(n, std::strlen(path));
    EXPECT_EQ(path[0], '\\');
    EXPECT_EQ(std::strchr(path, '/'), nullptr);
    EXPECT_STREQ(std::strrchr(path, '\\') + 1, "kernel_tests");

    char small[4];
    EXPECT_EQ(GetModuleFileNameA(nullptr, small, sizeof(small)), 4u);
    EXPECT_EQ(std::strlen(small), 3u);
}
