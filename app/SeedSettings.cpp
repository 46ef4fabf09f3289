// First-start settings for a working folder prepared from the build tree
// (./run), as the installed program seeds its own: run in the working folder,
// whose add-on library gives the lists. Stored values are left alone.
#include "install/FirstStartSettings.h"
#include "platform/Platform.h"
#include "services/AddOn.h"

#include <QDateTime>

#include <cstdio>

int main()
{
    try {
        Platform::TServices& Services = Platform::LinuxServices();
        Platform::TLibraryLoader& Libraries = *Services.Libraries;
        const TFirstStartSettings Settings(
            TSystemPlace::Now(QDateTime::currentMSecsSinceEpoch()),
            TZoneTable::FromFolder(TZoneTable::DatabaseFolder()),
            TOfferedValues{getGMTLocations(Libraries), getProvinces(Libraries), getTimeServers(Libraries)});
        if (Settings.Seed(*Services.Registry, TFirstStartSettings::CurrentDateTime()))
            std::puts("seeded");
        return 0;
    } catch (const std::exception& Error) {
        std::fprintf(stderr, "zentavo-3d-seed: %s\n", Error.what());
        return 1;
    }
}
