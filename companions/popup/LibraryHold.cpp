#include "LibraryHold.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QThread>

#include <dlfcn.h>
#include <glib.h>
#include <link.h>

#include <cstring>

namespace {

int HoldCount = 0;
void* SelfHandle = nullptr;

// The web engine runs threads of its own that outlive its last window and
// end only with the process, so its libraries must never go with this one.
// Qt's own libraries are pinned along with it (the clock holds most anyway).
int PinWebEngine(dl_phdr_info* Info, size_t, void*)
{
    const char* Name = Info->dlpi_name;
    if (Name != nullptr && std::strstr(Name, "libQt6") != nullptr)
        if (void* Handle = dlopen(Name, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE))
            dlclose(Handle); // the pin stays, the extra reference goes
    return 0;
}

// Loading this library loads the web engine, which starts up at once inside
// the running application and leaves routines behind for its exit; it must
// stay however often the clock loads and releases this library.
__attribute__((constructor)) void PinWebEngineOnLoad()
{
    dl_iterate_phdr(&PinWebEngine, nullptr);
}

} // namespace

bool TLibraryHold::IsReleasable()
{
    QAbstractEventDispatcher* Dispatcher = QAbstractEventDispatcher::instance(
        QCoreApplication::instance() ? QCoreApplication::instance()->thread() : nullptr);
    return Dispatcher != nullptr && Dispatcher->inherits("QEventDispatcherGlib");
}

void TLibraryHold::Acquire()
{
    if (HoldCount++ > 0)
        return;
    Dl_info Info;
    if (dladdr(reinterpret_cast<const void*>(&TLibraryHold::Acquire), &Info) != 0 &&
        Info.dli_fname != nullptr)
        SelfHandle = dlopen(Info.dli_fname, RTLD_NOW | RTLD_NOLOAD);
}

void TLibraryHold::Release()
{
    if (HoldCount <= 0 || --HoldCount > 0)
        return;
    void* Handle = SelfHandle;
    SelfHandle = nullptr;
    if (Handle == nullptr)
        return;
    if (IsReleasable())
        g_idle_add_full(G_PRIORITY_LOW, reinterpret_cast<GSourceFunc>(&dlclose), Handle, nullptr);
    // Otherwise the reference is kept: a loaded library costs less than a crash.
}

int TLibraryHold::Count()
{
    return HoldCount;
}
