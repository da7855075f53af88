// A scratch folder for file tests, removed with everything in it when the test ends.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

class TempTree {
public:
    TempTree()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "yonda-kernel-XXXXXX").string();
        m_root = mkdtemp(pattern.data());
    }
    ~TempTree()
    {
        std::error_code error;
        std::filesystem::remove_all(m_root, error);
    }
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    const std::string& Root() const { return m_root; }
    // The root as the program writes it: backslashes.
    std::string Windows() const
    {
        std::string path = m_root;
        for (char& c : path)
            if (c == '/')
                c = '\\';
        return path;
    }
    void MakeFolder(const std::string& relative) { std::filesystem::create_directories(m_root + "/" + relative); }
    void MakeFile(const std::string& relative, const std::string& content = "x")
    {
        std::filesystem::path path = m_root + "/" + relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << content;
    }

private:
    std::string m_root;
};
