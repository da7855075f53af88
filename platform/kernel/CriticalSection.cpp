// Critical sections: a re-entrant host mutex kept inside the caller's structure.
#include "Thread.h"

#include <mutex>
#include <new>

using namespace yonda::kernel;

namespace {

static_assert(sizeof(std::recursive_mutex) <= sizeof(CRITICAL_SECTION::Opaque));
static_assert(alignof(std::recursive_mutex) <= 8);

std::recursive_mutex& MutexOf(LPCRITICAL_SECTION section)
{
    return *std::launder(reinterpret_cast<std::recursive_mutex*>(section->Opaque));
}

void NoteEntered(LPCRITICAL_SECTION section)
{
    if (section->RecursionCount++ == 0)
        __atomic_store_n(&section->OwningThread, CurrentThreadId(), __ATOMIC_RELAXED);
}

} // namespace

void InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection)
{
    if (!lpCriticalSection)
        return;
    new (lpCriticalSection->Opaque) std::recursive_mutex;
    lpCriticalSection->RecursionCount = 0;
    lpCriticalSection->OwningThread = 0;
}

BOOL InitializeCriticalSectionAndSpinCount(LPCRITICAL_SECTION lpCriticalSection, DWORD dwSpinCount)
{
    InitializeCriticalSection(lpCriticalSection);
    return lpCriticalSection ? TRUE : FALSE;
}

void EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection)
{
    if (!lpCriticalSection)
        return;
    MutexOf(lpCriticalSection).lock();
    NoteEntered(lpCriticalSection);
}

BOOL TryEnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection)
{
    if (!lpCriticalSection || !MutexOf(lpCriticalSection).try_lock())
        return FALSE;
    NoteEntered(lpCriticalSection);
    return TRUE;
}

void LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection)
{
    if (!lpCriticalSection)
        return;
    // Leaving a section this thread does not hold would corrupt the host mutex; it is ignored.
    if (__atomic_load_n(&lpCriticalSection->OwningThread, __ATOMIC_RELAXED) != CurrentThreadId() ||
        lpCriticalSection->RecursionCount <= 0)
        return;
    if (--lpCriticalSection->RecursionCount == 0)
        __atomic_store_n(&lpCriticalSection->OwningThread, 0, __ATOMIC_RELAXED);
    MutexOf(lpCriticalSection).unlock();
}

void DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection)
{
    if (!lpCriticalSection)
        return;
    MutexOf(lpCriticalSection).~recursive_mutex();
    lpCriticalSection->RecursionCount = 0;
    lpCriticalSection->OwningThread = 0;
}
