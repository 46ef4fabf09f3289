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

// Qt's libraries leave routines behind for the process's exit, so they must
// never go with this one (the clock holds them anyway).
int PinQt(dl_phdr_info* Info, size_t, void*)
{
    const char* Name = Info->dlpi_name;
    if (Name != nullptr && std::strstr(Name, "libQt6") != nullptr)
        if (void* Handle = dlopen(Name, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE))
            dlclose(Handle); // the pin stays, the extra reference goes
    return 0;
}

// However often the clock loads and releases this library.
__attribute__((constructor)) void PinQtOnLoad()
{
    dl_iterate_phdr(&PinQt, nullptr);
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
