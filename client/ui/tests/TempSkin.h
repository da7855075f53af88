#pragma once
// A skin folder made by a test: ini files written as given and pictures of one colour per row
// band, removed again when the test ends. It is the toolkit's skin folder while it lives.
#include "BmpWriter.h"
#include "ToolkitShared.h"

#include <afxwin.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace yonda::uitest {

class TempSkin {
public:
    explicit TempSkin(const char* name)
    {
        m_root = std::filesystem::temp_directory_path() / (std::string("yonda-") + name + "-" + std::to_string(getpid()));
        std::filesystem::remove_all(m_root);
        std::filesystem::create_directories(m_root / "Skin" / "Test");
        m_previous = ToolkitSkinFolder();
        ToolkitSetSkinFolder(Folder());
    }
    ~TempSkin()
    {
        ToolkitSetSkinFolder(m_previous);
        std::filesystem::remove_all(m_root);
    }
    CString Base() const { return CString(m_root.string().c_str()); }
    CString Folder() const { return Base() + "\\Skin\\Test"; }
    CString Path(const char* name) const { return Folder() + "\\" + name; }
    void Write(const char* name, const std::string& text) const
    {
        std::ofstream(m_root / "Skin" / "Test" / name, std::ios::binary) << text;
    }
    // colour(x, y) gives 0x00RRGGBB.
    void Picture(const char* name, int width, int height, std::function<uint32_t(int, int)> colour) const
    {
        BmpSpec spec;
        spec.width = width;
        spec.height = height;
        spec.pixel = std::move(colour);
        const std::vector<uint8_t> bytes = MakeBmp(spec);
        std::ofstream(m_root / "Skin" / "Test" / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    void Solid(const char* name, int width, int height, uint32_t colour) const
    {
        Picture(name, width, height, [colour](int, int) { return colour; });
    }

private:
    std::filesystem::path m_root;
    CString m_previous;
};

} // namespace yonda::uitest
