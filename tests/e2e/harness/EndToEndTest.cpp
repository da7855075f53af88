#include "EndToEndTest.h"

#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <iostream>
#include <stdexcept>

namespace yonda::testing {
namespace {

std::string TestName()
{
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "test";
    for (char& c : name)
        if (c == '/')
            c = '_';
    return name;
}

} // namespace

DrivenProgram::DrivenProgram(std::string name, ProgramHome home, std::string scratch)
    : m_name(std::move(name)), m_home(std::move(home)), m_scratch(std::move(scratch))
{}

DrivenProgram::~DrivenProgram()
{
    if (!Ended())
        End(std::chrono::seconds(5));
}

bool DrivenProgram::Start(const LaunchOptions& options, std::string* why)
{
    std::string socket = m_scratch + "/" + m_name + ".sock";
    ChildProcess::Options child;
    child.program = m_home.Program().string();
    child.arguments = options.arguments;
    child.workingDirectory = m_home.Folder().string();
    child.environment = {
        {"YONDA_AUTOMATION_SOCKET", socket},
        {"YONDA_AUTOMATION", std::nullopt},
        {"YONDA_RUNTIME_DIR", m_scratch + "/" + m_name + ".run"},
        {"SDL_AUDIODRIVER", "dummy"},
        // The program file sits in the test's home, away from the libraries it was linked next to.
        {"LD_LIBRARY_PATH", BinaryDir() + "/lib"},
    };
    if (options.display.empty()) {
        child.environment["YONDA_HEADLESS"] = "1";
    } else {
        child.environment["YONDA_HEADLESS"] = std::nullopt;
        child.environment["WAYLAND_DISPLAY"] = std::nullopt;
        child.environment["DISPLAY"] = options.display;
        child.environment["SDL_VIDEODRIVER"] = "x11";
    }
    for (const auto& [name, value] : options.environment)
        child.environment[name] = value;
    if (!m_process.Start(child, why))
        return false;
    if (!options.connect)
        return true;
    if (!Connect(socket, std::chrono::seconds(60), [this] { return m_process.Running(); })) {
        *why = m_name + " did not open its automation socket:\n" + m_process.Output();
        return false;
    }
    return true;
}

int DrivenProgram::End(std::chrono::milliseconds bound)
{
    if (m_status)
        return *m_status;
    if (m_process.Running() && Connected())
        Quit();
    m_status = m_process.Wait(bound);
    if (!m_status) {
        m_killed = true;
        m_process.Signal(SIGKILL);
        m_status = m_process.Wait(std::chrono::seconds(10)).value_or(-1);
    }
    Close();
    return *m_status;
}

std::optional<Picture> DrivenProgram::Capture(const std::string& window)
{
    std::string file =
        (m_home.Folder().parent_path() / (m_name + "-capture-" + std::to_string(++m_captures) + ".png")).string();
    std::string error;
    auto picture = AutomationClient::Capture(window, file, &error);
    if (!picture)
        ADD_FAILURE() << "capture of " << window << " in " << m_name << ": " << error;
    return picture;
}

EndToEndTest::~EndToEndTest() = default;

void EndToEndTest::SetUp()
{
    std::string name = TestName() + "-" + std::to_string(getpid());
    m_work = std::filesystem::path(BinaryDir()) / "tests" / "e2e-work" / name;
    std::filesystem::remove_all(m_work);
    std::filesystem::create_directories(m_work);
    // Socket paths are short: under /tmp, not in the build tree.
    std::string pattern = "/tmp/yonda-e2e-XXXXXX";
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a folder under /tmp");
    m_scratch = pattern;
    // The program's single-instance lock and such stay out of the user's session.
    std::filesystem::create_directories(m_scratch);
}

void EndToEndTest::TearDown()
{
    // What every program showed when the test failed, next to its earlier captures in the kept
    // folder: most failures of a two-program test are read off the other program's screen.
    if (HasFailure()) {
        for (auto& program : m_programs) {
            if (program->Ended() || !program->Connected() || !program->Process().Running())
                continue;
            int shown = 0;
            for (const WindowInfo& window : program->Windows()) {
                std::string file = (program->Home().Folder().parent_path() /
                                    (program->Name() + "-at-failure-" + std::to_string(++shown) + ".png"))
                                       .string();
                std::string error;
                if (!program->AutomationClient::Capture(window.handle, file, &error))
                    std::cout << "no capture of " << window.className << " in " << program->Name() << ": " << error
                              << "\n";
            }
        }
    }
    for (auto it = m_programs.rbegin(); it != m_programs.rend(); ++it) {
        DrivenProgram& program = **it;
        bool unchecked = !program.Ended();
        int status = program.End();
        if (program.Killed()) {
            ADD_FAILURE() << program.Name() << " did not end after quit and was killed:\n"
                          << program.Process().Output();
        } else if (unchecked && status != 0) {
            ADD_FAILURE() << program.Name() << " ended with status " << status << ":\n" << program.Process().Output();
        } else if (HasFailure()) {
            std::cout << program.Name() << " (status " << status << "):\n" << program.Process().Output() << "\n";
        }
    }
    if (m_service && HasFailure())
        std::cout << "yonda-service:\n" << m_service->Output() << "\n";
    m_programs.clear();
    m_service.reset();
    m_xserver.reset();
    std::error_code error;
    std::filesystem::remove_all(m_scratch, error);
    if (!HasFailure())
        std::filesystem::remove_all(m_work, error);
    else
        std::cout << "The test's folder is kept: " << m_work.string() << "\n";
}

ServiceUnderTest& EndToEndTest::Service()
{
    if (!m_service)
        m_service = std::make_unique<ServiceUnderTest>(m_work / "service");
    std::string why;
    if (!m_service->Running() && m_service->Address().empty() && !m_service->Start(&why))
        throw std::runtime_error("the service did not start: " + why);
    return *m_service;
}

const std::string& EndToEndTest::XDisplay()
{
    if (!m_xserver) {
        auto server = std::make_unique<XServer>();
        std::string why;
        if (!server->Start(&why))
            throw std::runtime_error(why);
        m_xserver = std::move(server);
    }
    return m_xserver->Display();
}

DrivenProgram& EndToEndTest::Launch(const std::string& name, const std::vector<Setting>& settings,
                                    const LaunchOptions& options)
{
    std::string program = options.program.empty() ? m_programFile : options.program;
    if (program.empty())
        throw std::runtime_error("no program: name one with yonda_e2e_test(... PROGRAM target)");
    bool ownServer = false;
    for (const Setting& setting : settings)
        ownServer |= setting.section == "Server" && setting.key == "ServerIp";
    std::string address = ownServer ? std::string() : Service().Address();
    ProgramHome home(m_work / name / "home", program);
    home.WriteSettings(address, settings);
    m_programs.push_back(std::make_unique<DrivenProgram>(name, std::move(home), m_scratch));
    DrivenProgram& driven = *m_programs.back();
    std::string why;
    if (!driven.Start(options, &why))
        throw std::runtime_error(name + " did not start: " + why);
    return driven;
}

} // namespace yonda::testing
