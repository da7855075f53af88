// End-to-end tests: the real program, headless (or on an X server of the test's own), in a home
// folder of its own, against the real yonda-service on a loopback address of its own, driven
// through the platform's automation hook (yonda_automation.h) step by step.
//
//   yonda_e2e_test(client_login_tests PROGRAM Yonda SOURCES LoginTest.cpp)   # CMake
//
//   TEST_F(EndToEndTest, AMemberLogsIn) {
//       Service().AddMember("kim", "pw", "Kim");
//       DrivenProgram& kim = Launch("kim");                  // its home, its Yonda.ini, started
//       ASSERT_TRUE(IsOk(kim.WaitWindow("#32770")));          // and connected: the login dialog
//       ASSERT_TRUE(IsOk(kim.Type("#202", "kim")));
//       ASSERT_TRUE(IsOk(kim.Type("#203", "pw")));
//       ASSERT_TRUE(IsOk(kim.Key("#203", "RETURN")));
//       ASSERT_TRUE(IsOk(kim.WaitGone("#32770", 30000)));
//       auto frame = kim.Capture("Yonda Alpha");             // the main frame's pixels
//       EXPECT_EQ(Service().QueryValue("SELECT points FROM accounts WHERE login = 'kim'"), "10000");
//   }
//
// Each test gets a work folder in the build tree (kept when the test fails, with the programs'
// homes, settings and captures, and a capture of every window each program still showed at the
// failure, NAME-at-failure-N.png) and a short one under /tmp for sockets and locks. At the end
// every program still running is sent `quit` and killed if it has not ended within a bound; a
// program that had to be killed or ended with a non-zero status fails the test, with its output.
// A test that expects a program to fail calls End() itself and checks the status.
#pragma once

#include "AutomationClient.h"
#include "ChildProcess.h"
#include "ProgramHome.h"
#include "ServiceUnderTest.h"
#include "XServer.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>

namespace yonda::testing {

struct LaunchOptions {
    std::vector<std::string> arguments;
    std::map<std::string, std::optional<std::string>> environment; // set, or with no value removed
    std::string display; // an X display (":7") to show the windows on; empty: headless
    bool connect = true; // false: a program that is expected to end before its first window
    std::string program; // another program file than the test's
};

// One program started in its home, with its automation socket connected.
class DrivenProgram : public AutomationClient {
public:
    DrivenProgram(std::string name, ProgramHome home, std::string scratch);
    ~DrivenProgram();

    bool Start(const LaunchOptions& options, std::string* why);
    // Sends quit, waits up to `bound`, then kills it: its exit status (128 + the signal if killed).
    int End(std::chrono::milliseconds bound = std::chrono::seconds(20));
    bool Ended() const { return m_status.has_value(); }
    std::optional<int> Status() const { return m_status; }
    bool Killed() const { return m_killed; }

    const std::string& Name() const { return m_name; }
    ProgramHome& Home() { return m_home; }
    ChildProcess& Process() { return m_process; }

    using AutomationClient::Capture;
    // Captures into the test's work folder (a new file each time) and reads the pixels back.
    std::optional<Picture> Capture(const std::string& window);

private:
    std::string m_name;
    ProgramHome m_home;
    std::string m_scratch;
    ChildProcess m_process;
    std::optional<int> m_status;
    bool m_killed = false;
    int m_captures = 0;
};

class EndToEndTest : public ::testing::Test {
protected:
    // The program each test drives, from yonda_e2e_test(... PROGRAM target ...).
#ifdef YONDA_E2E_PROGRAM
    EndToEndTest() : m_programFile(YONDA_E2E_PROGRAM) {}
#else
    EndToEndTest() = default;
#endif
    ~EndToEndTest() override;
    void SetUp() override;
    void TearDown() override;

    // The service, started on first use (a failure to start throws, failing the test).
    ServiceUnderTest& Service();
    // Makes the home `name`, writes its settings (pointing at the service, which starts unless
    // the settings name a Server/ServerIp of their own), starts the program and connects to it.
    // Throws when it cannot, with the program's output.
    DrivenProgram& Launch(const std::string& name, const std::vector<Setting>& settings = {},
                          const LaunchOptions& options = {});

    // An X server of the test's own, started on first use (throws when it cannot be); programs
    // launched with LaunchOptions::display = XDisplay() show their windows there. It outlives them.
    const std::string& XDisplay();

    const std::filesystem::path& WorkFolder() const
    {
        return m_work;
    }
    const std::string& ScratchFolder() const
    {
        return m_scratch;
    }
    const std::string& ProgramFile() const
    {
        return m_programFile;
    }

private:
    std::string m_programFile;
    std::filesystem::path m_work;
    std::string m_scratch;
    std::unique_ptr<XServer> m_xserver;
    std::unique_ptr<ServiceUnderTest> m_service;
    std::vector<std::unique_ptr<DrivenProgram>> m_programs;
};

} // namespace yonda::testing
