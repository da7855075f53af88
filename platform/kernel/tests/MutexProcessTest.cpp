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

// The lock file stays behind on purpose (removing it while another process may lock it would
// let two processes both be first); tests tidy up after themselves.
void RemoveLockFile(const std::string& name)
{
    unlink((YondaRuntimeDirectory() + "/mutex-" + name + ".lock").c_str());
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
    third.Finish();
    RemoveLockFile(name);
}

TEST(SingleInstanceMutex, ProgramsWithTheirOwnRuntimeFoldersDoNotSeeEachOther)
{
    const std::string name = UniqueName() + "_folders";
    std::string first = "/tmp/yonda-kernel-test-a-" + std::to_string(getpid());
    std::string second = "/tmp/yonda-kernel-test-b-" + std::to_string(getpid());
    setenv("YONDA_RUNTIME_DIR", first.c_str(), 1);
    Holder holder(name); // inherits the first folder
    EXPECT_EQ(holder.Answer(), "held");
    EXPECT_EQ(YondaRuntimeDirectory(), first);

    setenv("YONDA_RUNTIME_DIR", second.c_str(), 1);
    HANDLE mutex = CreateMutexA(nullptr, TRUE, name.c_str());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    CloseHandle(mutex);
    unsetenv("YONDA_RUNTIME_DIR");
    holder.Finish();
    for (const std::string& folder : {first, second}) {
        unlink((folder + "/mutex-" + name + ".lock").c_str());
        rmdir(folder.c_str());
    }
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
    // The separators are spelt out in the file's name, which stays in the folder.
    const std::string lockFile = YondaRuntimeDirectory() + "/mutex-..%5C..%5C" + UniqueName() + "%2Fx.lock";
    EXPECT_EQ(access(lockFile.c_str(), F_OK), 0);
    unlink(lockFile.c_str());
}

} // namespace
