// An engine started on a recording device over a fresh data folder of its own.
#pragma once

#include "KRAFakeDevice.h"
#include "KRAManager.h"
#include "KRATestFiles.h"
#include "TempFolder.h"

#include <gtest/gtest.h>
#include <yonda_capture.h>

#include <filesystem>
#include <string>

namespace kratest {

inline void IgnoreMessage(LONG, LONG, void*) {}

class EngineFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_root = m_temp.Path();
        m_strData = (m_root / "Data").string() + "/";
        m_temp.MakeFolder("Data/WORLD");
        ASSERT_EQ(KRACreate(&m_device, m_strData.c_str(), &IgnoreMessage, &m_pManager), KRA_OK);
    }
    void TearDown() override { KRADestroy(); }
    void WriteWorld(const std::string& name, const std::vector<uint8_t>& bytes)
    {
        Write(m_root / "Data" / "WORLD" / name, bytes);
    }
    void WriteWorldText(const std::string& name, const std::string& text)
    {
        WriteText(m_root / "Data" / "WORLD" / name, text);
    }

    yonda::testing::TempFolder m_temp{"kravex-test"};
    FakeDevice m_device;
    CKRAManager* m_pManager = nullptr;
    std::filesystem::path m_root;
    std::string m_strData;
};

} // namespace kratest
