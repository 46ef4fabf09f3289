#include "ThreadPriority.h"

#include <cerrno>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace Platform {

namespace {
// On Linux the nice value belongs to the thread named by its id, not to the process.
constexpr int BelowNormalNiceness = 5;

id_t CurrentThreadId()
{
    return static_cast<id_t>(::syscall(SYS_gettid));
}
} // namespace

void LowerCurrentThreadPriority()
{
    const int Current = CurrentThreadNiceness();
    if (Current < BelowNormalNiceness)
        ::setpriority(PRIO_PROCESS, CurrentThreadId(), BelowNormalNiceness);
}

int CurrentThreadNiceness()
{
    errno = 0;
    return ::getpriority(PRIO_PROCESS, CurrentThreadId());
}

} // namespace Platform
