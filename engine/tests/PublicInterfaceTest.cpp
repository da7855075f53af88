// The library as a host sees it: the public header alone, linked against libKravex.so, with only
// the exported classes and functions visible.
#include <Kravex.h>

#include "KRAFakeDevice.h"
#include "KRAInterfaceValues.h"

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
    // The object file is made from the bytes of its file with their size.
    EXPECT_NE(dlsym(pLibrary, "_ZN14CKRAObjectFile14LoadObjectFileEPKcPKhm"), nullptr);
    // The manager's static accessors are functions of the library, not only inline in its header.
    for (const char* szName : {"_ZN11CKRAManager6GetKRAEv", "_ZN11CKRAManager12GetD3DDeviceEv",
                               "_ZN11CKRAManager14GetMessageProcEv", "_ZN11CKRAManager16GetInstalledPathEv",
                               "_ZN11CKRAManager18GetRenderingOptionEv", "_ZN11CKRAManager16GetAccentedColorEv",
                               "_ZN11CKRAManager16GetObjectManagerEv", "_ZN11CKRAManager16GetAvatarManagerEv",
                               "_ZN11CKRAManager17GetTextureManagerEv", "_ZN11CKRAManager10GetFrustumEv"})
        EXPECT_NE(dlsym(pLibrary, szName), nullptr) << szName;
    // Inside parts stay inside.
    EXPECT_EQ(dlsym(pLibrary, "_Z14KRAShowWarningPKc"), nullptr);
    EXPECT_EQ(dlsym(pLibrary, "_ZN17CKRAObjectManager14LoadObjectFileEPKcPj"), nullptr);
    EXPECT_EQ(dlsym(pLibrary, "_ZN14CKRAObjectFile5BuildEPKcR20KRA_OBJECT_FILE_DATA"), nullptr);
    dlclose(pLibrary);
}

TEST(PublicInterface, TheHeadersNameTheValuesHostsAreWrittenAgainst)
{
    using namespace kratest::values;
    EXPECT_EQ(KRA_OK, kOk);
    EXPECT_EQ(KRA_E_MISSING_PART, kMissingPart);
    EXPECT_EQ(KRA_E_ALLOCATION, kAllocation);
    EXPECT_EQ(KRA_E_INVALID_ARGUMENT, kInvalidArgument);
    EXPECT_EQ(KRA_E_NOTHING_TO_RELEASE, kNothingToRelease);
    EXPECT_EQ(KRA_E_INVALID_HANDLE, kInvalidHandle);
    EXPECT_EQ(KRA_E_FAILED, kFailed);
    EXPECT_EQ(KRA_E_AVATAR_KEYS_FULL, kKeyListFull);
    EXPECT_EQ(KRA_E_INVALID_AVATAR, kInvalidAvatar);
    EXPECT_LT(kMissingPart, 0); // statuses are 32-bit and negative on failure
    EXPECT_EQ(KRA_MSG_MOTION_END, kMotionEnd);
    EXPECT_EQ(KRA_MSG_MOVE_END, kMoveEnd);
    EXPECT_EQ(KRA_MSG_MOVE_ROTATE_END, kMoveRotateEnd);
    EXPECT_EQ(int(KRA_RENDERING_OPTION_MIPMAP), kOptionMipmap);
    EXPECT_EQ(int(KRA_RENDERING_OPTION_SECOND_TEXTURE), kOptionSecondTexture);
    EXPECT_EQ(sizeof(KRA_AVATAR_ITEM), 72u);
}
