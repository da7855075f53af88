// Mutexes: owned by one thread at a time, re-entrant for the owner, abandoned when the owner
// ends without releasing. A named mutex also marks its name across processes with a lock file
// in the runtime folder, so a second program instance sees ERROR_ALREADY_EXISTS. The host
// releases the file lock when a process dies, so a crash leaves no stale name behind.
#include "../user/Rendezvous.h"
#include "KernelObject.h"
#include "Thread.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <set>

namespace yonda::kernel {
namespace {

class MutexObject;

// Every live mutex, so the ones an ending thread still owns can be abandoned. Under the
// dispatcher lock.
std::set<MutexObject*>& LiveMutexes()
{
    static std::set<MutexObject*>& mutexes = *new std::set<MutexObject*>;
    return mutexes;
}

class MutexObject : public Waitable {
public:
    MutexObject()
    {
        std::lock_guard lock(DispatcherLock());
        LiveMutexes().insert(this);
    }
    ~MutexObject() override
    {
        {
            std::lock_guard lock(DispatcherLock());
            LiveMutexes().erase(this);
        }
        if (m_lockFile >= 0)
            close(m_lockFile); // also releases the name for other processes
    }

    bool IsSignalled(DWORD threadId) const override { return m_owner == 0 || m_owner == threadId; }
    bool Acquire(DWORD threadId) override
    {
        if (m_owner == threadId) {
            ++m_count;
            return false;
        }
        m_owner = threadId;
        m_count = 1;
        bool abandoned = m_abandoned;
        m_abandoned = false;
        return abandoned;
    }

    // Under the dispatcher lock.
    bool Release(DWORD threadId)
    {
        if (m_owner != threadId || m_count == 0)
            return false;
        if (--m_count == 0)
            m_owner = 0;
        return true;
    }
    void Abandon(DWORD threadId)
    {
        if (m_owner == threadId) {
            m_owner = 0;
            m_count = 0;
            m_abandoned = true;
        }
    }

    // Takes the name across processes; answers false when another process holds it.
    bool LockName(const std::string& name)
    {
        std::string folder = YondaRuntimeDirectory();
        std::string file;
        for (unsigned char c : name) {
            if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
                c == '.') {
                file += static_cast<char>(c);
            } else {
                char hex[4];
                snprintf(hex, sizeof(hex), "%%%02X", c);
                file += hex;
            }
        }
        std::string path = folder + "/mutex-" + file + ".lock";
        int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0)
            return true; // no runtime folder: the name is this process's alone
        if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
            close(fd);
            return false;
        }
        m_lockFile = fd;
        return true;
    }

private:
    DWORD m_owner = 0; // under the dispatcher lock, like the rest
    DWORD m_count = 0;
    bool m_abandoned = false;
    int m_lockFile = -1;
};

} // namespace

void OnThreadEnded(DWORD threadId)
{
    {
        std::lock_guard lock(DispatcherLock());
        for (MutexObject* mutex : LiveMutexes())
            mutex->Abandon(threadId);
    }
    NotifyWaiters();
}

} // namespace yonda::kernel

using namespace yonda::kernel;

std::string YondaRuntimeDirectory()
{
    std::string folder;
    const char* own = getenv("YONDA_RUNTIME_DIR");
    const char* runtime = getenv("XDG_RUNTIME_DIR");
    struct stat st {};
    if (own && *own)
        folder = own;
    else if (runtime && *runtime && stat(runtime, &st) == 0 && S_ISDIR(st.st_mode) && access(runtime, W_OK) == 0)
        folder = std::string(runtime) + "/yonda";
    else
        folder = "/tmp/yonda-" + std::to_string(getuid());
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return "/tmp";
    return folder;
}

HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES lpMutexAttributes, BOOL bInitialOwner, LPCSTR lpName)
{
    bool heldElsewhere = false;
    return CreateKernelObject<MutexObject>(
        lpName,
        [&] {
            auto mutex = std::make_shared<MutexObject>();
            if (lpName && *lpName) {
                heldElsewhere = !mutex->LockName(lpName);
                // The holder of a name answers the programs that start after it and look for it.
                if (!heldElsewhere)
                    yonda::user::StartWindowRendezvous();
            }
            if (bInitialOwner && !heldElsewhere) {
                std::lock_guard lock(DispatcherLock());
                mutex->Acquire(CurrentThreadId());
            }
            return mutex;
        },
        &heldElsewhere);
}

BOOL ReleaseMutex(HANDLE hMutex)
{
    auto mutex = LookupHandleAs<MutexObject>(hMutex);
    if (!mutex)
        return FALSE;
    bool released;
    {
        std::lock_guard lock(DispatcherLock());
        released = mutex->Release(CurrentThreadId());
    }
    if (!released) {
        SetLastError(ERROR_NOT_OWNER);
        return FALSE;
    }
    NotifyWaiters();
    return TRUE;
}
