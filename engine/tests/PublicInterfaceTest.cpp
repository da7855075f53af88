// The library as a host sees it: the public header alone, linked against libKravex.so, with only
// the exported classes and functions visible.
#include <Kravex.h>

#include "KRAFakeDevice.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdlib>
#include <string>

namespace {

void Ignore(LONG, LONG, void*) {}

std::string LibraryPath()
{
    const char* szBinary = std::getenv("YONDA_BINARY_DIR");
    return std::string(szBinary ? szBinary : ".") + "/lib/libKravex.so";
}

} // namespace

TEST(PublicInterface, HostStartsAndStopsTheEngineThroughTheExports)
{
    kratest::FakeDevice device;
    CKRAManager* pManager = nullptr;
    ASSERT_EQ(KRACreate(&device, "/tmp/", &Ignore, &pManager), 0);
    ASSERT_NE(pManager, nullptr);
    EXPECT_EQ(CKRAManager::m_pDevice, &device);
    CKRAManager::m_dwAccentedColor = 0xFF00FF00;
    EXPECT_EQ(pManager->SetRenderingOption(KRA_RENDERING_OPTION_MIPMAP, 1), 0);
    EXPECT_EQ(pManager->SetRenderingOption(KRA_RENDERING_OPTION_SECOND_TEXTURE, 1), 0);
    EXPECT_EQ(KRADestroy(), 0);
}

TEST(PublicInterface, OnlyTheExportedNamesAreVisible)
{
    void* pLibrary = dlopen(LibraryPath().c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (!pLibrary)
        pLibrary = dlopen(LibraryPath().c_str(), RTLD_NOW);
    ASSERT_NE(pLibrary, nullptr) << dlerror();
    EXPECT_NE(dlsym(pLibrary, "KRACreate"), nullptr);
    EXPECT_NE(dlsym(pLibrary, "KRADestroy"), nullptr);
    EXPECT_NE(dlsym(pLibrary, "_ZN11CKRAManager17m_dwAccentedColorE"), nullptr);
    EXPECT_NE(dlsym(pLibrary, "_ZN11CKRAManager9m_pDeviceE"), nullptr);
    EXPECT_NE(dlsym(pLibrary, "_ZN14CKRAObjectFile17IsAlphaObjectFileEv"), nullptr);
    // Inside parts stay inside.
    EXPECT_EQ(dlsym(pLibrary, "_Z14KRAShowWarningPKc"), nullptr);
    EXPECT_EQ(dlsym(pLibrary, "_ZN17CKRAObjectManager14LoadObjectFileEPKcPj"), nullptr);
    EXPECT_EQ(dlsym(pLibrary, "_ZN14CKRAObjectFile5BuildEPKcR20KRA_OBJECT_FILE_DATA"), nullptr);
    dlclose(pLibrary);
}
