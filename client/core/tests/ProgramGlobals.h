// The program's globals as start-up makes them for a test suite: the resources, the home folder
// the build wrote, the lock, the "Orange" skin with its message boxes; and freed again.
#pragma once

#include "ClientGlobals.h"

#include <DialogSkin.h>
#include <MainSkin.h>
#include <ProgramResources.h>
#include <ToolkitShared.h>

#include <gtest/gtest.h>

#include <cstdlib>

namespace programglobals {

inline void Make()
{
    RegisterProgramResources();
    const char* binary = std::getenv("YONDA_BINARY_DIR");
    ASSERT_NE(binary, nullptr);
    g_strInstallPath = CString(binary) + "/yonda";
    GlobalLockInit();
    g_pMainSkin = new CMainSkin;
    g_pDialogSkin = new CDialogSkin;
    ASSERT_TRUE(g_pMainSkin->LoadSkin(g_strInstallPath, "Orange"));
    g_pDialogSkin->SetSkinPath(g_pMainSkin->m_strSkinFolder);
    g_pDialogSkin->LoadIni(g_pMainSkin->m_strSkinFolder + "\\" + g_pMainSkin->m_strMsgDlgIni);
    ToolkitSetSkinFolder(g_pMainSkin->m_strSkinFolder);
    ToolkitSetMessageSkin(g_pDialogSkin);
}

inline void Free()
{
    ToolkitSetTableStrings(nullptr);
    ToolkitSetMessageSkin(nullptr);
    delete g_pMainSkin;
    g_pMainSkin = nullptr;
    delete g_pDialogSkin;
    g_pDialogSkin = nullptr;
    GlobalLockDelete();
}

} // namespace programglobals
