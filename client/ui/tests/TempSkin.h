#pragma once
// A skin folder made by a test: ini files written as given and pictures of one colour per row
// band, removed again when the test ends. It is the toolkit's skin folder while it lives.
#include "BmpWriter.h"
#include "TempFolder.h"
#include "ToolkitShared.h"

#include <afxwin.h>

#include <filesystem>
#include <functional>
#include <string>

namespace yonda::uitest {

class TempSkin {
public:
    explicit TempSkin(const char* name) : m_root(std::string("yonda-") + name)
    {
        m_root.MakeFolder("Skin/Test");
        m_previous = ToolkitSkinFolder();
        ToolkitSetSkinFolder(Folder());
    }
    ~TempSkin() { ToolkitSetSkinFolder(m_previous); }
    CString Base() const { return CString(m_root.Root().c_str()); }
    CString Folder() const { return Base() + "\\Skin\\Test"; }
    CString Path(const char* name) const { return Folder() + "\\" + name; }
    void Write(const char* name, const std::string& text) const
    {
        m_root.Write(std::filesystem::path("Skin/Test") / name, text);
    }
    // colour(x, y) gives 0x00RRGGBB.
    void Picture(const char* name, int width, int height, std::function<uint32_t(int, int)> colour) const
    {
        BmpSpec spec;
        spec.width = width;
        spec.height = height;
        spec.pixel = std::move(colour);
        m_root.Write(std::filesystem::path("Skin/Test") / name, MakeBmp(spec));
    }
    void Solid(const char* name, int width, int height, uint32_t colour) const
    {
        Picture(name, width, height, [colour](int, int) { return colour; });
    }

private:
    yonda::testing::TempFolder m_root;
    CString m_previous;
};

} // namespace yonda::uitest
