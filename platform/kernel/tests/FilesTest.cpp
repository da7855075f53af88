#include "TempFolder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

using yonda::testing::TempFolder;

namespace {

std::vector<std::string> FindAll(const std::string& pattern)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(pattern.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do
        names.push_back(data.cFileName);
    while (FindNextFileA(find, &data));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
    EXPECT_TRUE(FindClose(find));
    EXPECT_FALSE(FindClose(find));
    return names;
}

TEST(FindFile, MatchesPatternsWithoutRegardToCaseInAResolvedFolder)
{
    TempFolder tree("yonda-kernel");
    tree.Write("Skin/Orange/Main.BMP", "12345");
    tree.Write("Skin/Orange/button.bmp", "x");
    tree.Write("Skin/Orange/Main.ini", "x");
    tree.MakeFolder("Skin/Orange/Sub.bmp.d");
    const std::string skin = tree.Windows() + "\\skin\\ORANGE\\";

    EXPECT_EQ(FindAll(skin + "*.bmp"), (std::vector<std::string>{"button.bmp", "Main.BMP"}));
    EXPECT_EQ(FindAll(skin + "m?in.*"), (std::vector<std::string>{"Main.BMP", "Main.ini"}));
    EXPECT_EQ(FindAll(skin + "*.*").size(), 6u); // with "." and "..", as the platform lists them
    // A plain name finds the file as it is spelt on disk.
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((skin + "MAIN.bmp").c_str(), &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    EXPECT_STREQ(data.cFileName, "Main.BMP");
    EXPECT_EQ(data.nFileSizeLow, 5u);
    EXPECT_EQ(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
    FindClose(find);
}

TEST(FindFile, NothingFoundSaysWhetherTheFileOrTheFolderIsMissing)
{
    TempFolder tree("yonda-kernel");
    tree.MakeFolder("Data");
    WIN32_FIND_DATAA data;
    EXPECT_EQ(FindFirstFileA((tree.Windows() + "\\data\\*.prb").c_str(), &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(FindFirstFileA((tree.Windows() + "\\nothing\\*.prb").c_str(), &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(FindFirstFileA(nullptr, &data), INVALID_HANDLE_VALUE);
    EXPECT_FALSE(FindNextFileA(INVALID_HANDLE_VALUE, &data));
}

TEST(Files, AttributesFoldersDeletionAndCopiesByWindowsPath)
{
    TempFolder tree("yonda-kernel");
    tree.Write("Data/Item/item.dsv", "catalogue");
    const std::string root = tree.Windows();

    EXPECT_EQ(GetFileAttributesA((root + "\\DATA\\item").c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(GetFileAttributesA((root + "\\data\\ITEM\\Item.DSV").c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_EQ(GetFileAttributesA((root + "\\data\\item\\none.dsv").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(GetFileAttributesA((root + "\\data\\none\\x.dsv").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));

    EXPECT_TRUE(CreateDirectoryA((root + "\\Capture").c_str(), nullptr));
    EXPECT_FALSE(CreateDirectoryA((root + "\\capture").c_str(), nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_TRUE(CreateDirectoryA((root + "\\CAPTURE\\Shots").c_str(), nullptr));
    EXPECT_TRUE(std::filesystem::is_directory(tree.Root() + "/Capture/Shots"));
    EXPECT_TRUE(RemoveDirectoryA((root + "\\capture\\shots").c_str()));
    EXPECT_FALSE(CreateDirectoryA((root + "\\none\\deeper").c_str(), nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));

    EXPECT_TRUE(CopyFileA((root + "\\data\\item\\ITEM.dsv").c_str(), (root + "\\capture\\copy.dsv").c_str(), TRUE));
    EXPECT_FALSE(CopyFileA((root + "\\data\\item\\ITEM.dsv").c_str(), (root + "\\capture\\copy.dsv").c_str(), TRUE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
    EXPECT_TRUE(MoveFileA((root + "\\CAPTURE\\copy.dsv").c_str(), (root + "\\capture\\moved.dsv").c_str()));
    EXPECT_TRUE(std::filesystem::exists(tree.Root() + "/Capture/moved.dsv"));

    EXPECT_TRUE(DeleteFileA((root + "\\capture\\MOVED.DSV").c_str()));
    EXPECT_FALSE(DeleteFileA((root + "\\capture\\moved.dsv").c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(DeleteFileA((root + "\\capture").c_str()));
    EXPECT_TRUE(RemoveDirectoryA((root + "\\CAPTURE").c_str()));
}

TEST(Files, CurrentDirectoryIsAWindowsPathAndSizesFollowThePlatform)
{
    TempFolder tree("yonda-kernel");
    char previous[4096];
    ASSERT_GT(GetCurrentDirectoryA(sizeof(previous), previous), 0u);
    ASSERT_TRUE(SetCurrentDirectoryA(tree.Windows().c_str()));
    DWORD needed = GetCurrentDirectoryA(0, nullptr);
    EXPECT_EQ(needed, tree.Windows().size() + 1);
    std::string buffer(needed, '\0');
    EXPECT_EQ(GetCurrentDirectoryA(needed, buffer.data()), needed - 1);
    EXPECT_EQ(buffer.c_str(), tree.Windows());
    char small[4];
    EXPECT_EQ(GetCurrentDirectoryA(sizeof(small), small), needed);
    EXPECT_TRUE(SetCurrentDirectoryA(previous));
    EXPECT_FALSE(SetCurrentDirectoryA((tree.Windows() + "\\missing").c_str()));
}

TEST(GlobalMemory, BlocksAreZeroedSizedAndGoneAfterFree)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 16);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(GlobalSize(block), 16u);
    auto* bytes = static_cast<char*>(GlobalLock(block));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(bytes[15], 0);
    strcpy(bytes, "clipboard");
    EXPECT_FALSE(GlobalUnlock(block));
    EXPECT_STREQ(static_cast<char*>(GlobalLock(block)), "clipboard");
    GlobalUnlock(block);
    EXPECT_EQ(GlobalFree(block), nullptr);
    EXPECT_EQ(GlobalLock(block), nullptr);
    EXPECT_EQ(GlobalFree(block), block);
}

} // namespace
