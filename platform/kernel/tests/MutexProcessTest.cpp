#include <windows.h>

#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

extern char** environ;

namespace {

// The holder program, running until Finish closes its input.
class Holder {
public:
    explicit Holder(const std::string& name)
    {
        int toChild[2], fromChild[2];
        if (pipe(toChild) != 0 || pipe(fromChild) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, toChild[0], 0);
        posix_spawn_file_actions_adddup2(&actions, fromChild[1], 1);
        posix_spawn_file_actions_addclose(&actions, toChild[1]);
        posix_spawn_file_actions_addclose(&actions, fromChild[0]);
        std::string program = YONDA_MUTEX_HOLDER;
        char* argv[] = {program.data(), const_cast<char*>(name.c_str()), nullptr};
        if (posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv, environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(toChild[0]);
        close(fromChild[1]);
        m_input = toChild[1];
        m_output = fromChild[0];
    }
    ~Holder() { Finish(); }

    // The holder's first line: "held" or "exists".
    std::string Answer()
    {
        std::string line;
        char c;
        while (m_output >= 0 && read(m_output, &c, 1) == 1 && c != '\n')
            line += c;
        return line;
    }

    int Finish()
    {
        if (m_input >= 0)
            close(m_input);
        if (m_output >= 0)
            close(m_output);
        m_input = m_output = -1;
        int status = -1;
        if (m_pid > 0)
            waitpid(m_pid, &status, 0);
        m_pid = -1;
        return status;
    }

private:
    pid_t m_pid = -1;
    int m_input = -1;
    int m_output = -1;
};

std::string UniqueName()
{
    return "Yonda_Mutex_Test_" + std::to_string(getpid());
}

TEST(SingleInstanceMutex, ASecondProcessSeesTheNameWhileTheFirstHoldsIt)
{
    const std::string name = UniqueName();
    Holder first(name);
    ASSERT_EQ(first.Answer(), "held");

    SetLastError(0);
    HANDLE mutex = CreateMutexA(nullptr, TRUE, name.c_str());
    ASSERT_NE(mutex, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    CloseHandle(mutex);

    EXPECT_EQ(first.Finish(), 0);
    // Once the first program has ended the name is free again.
    mutex = CreateMutexA(nullptr, TRUE, name.c_str());
    ASSERT_NE(mutex, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));

    // And now this process is the first: another program sees the name.
    Holder second(name);
    EXPECT_EQ(second.Answer(), "exists");
    EXPECT_EQ(second.Finish(), 0);

    EXPECT_TRUE(ReleaseMutex(mutex));
    CloseHandle(mutex);
    Holder third(name);
    EXPECT_EQ(third.Answer(), "held");
}

TEST(SingleInstanceMutex, NamesWithSeparatorsStayInsideTheRuntimeFolder)
{
    const std::string name = "..\\..\\" + UniqueName() + "/x";
    HANDLE mutex = CreateMutexA(nullptr, FALSE, name.c_str());
    ASSERT_NE(mutex, nullptr);
    Holder other(name);
    EXPECT_EQ(other.Answer(), "exists");
    other.Finish();
    CloseHandle(mutex);
}

} // namespace
