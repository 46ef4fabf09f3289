#include "InstalledStart.h"

#include "app/instance/LockFile.h"
#include "app/settings/SettingsTable.h"
#include "FirstStartSettings.h"
#include "platform/Platform.h"
#include "services/AddOn.h"
#include "WorkingFolder.h"

#include <QDateTime>

#include <cstdio>
#include <exception>

namespace {

void SeedFirstStart(Platform::TServices& Services)
{
    Platform::TRegistry& Registry = *Services.Registry;
    if (TFirstStartSettings::IsComplete(Registry.OpenKey(SettingsKeyPath).get()))
        return;
    Platform::TLibraryLoader& Libraries = *Services.Libraries;
    TOfferedValues Offered{getGMTLocations(Libraries), getProvinces(Libraries), getTimeServers(Libraries)};
    const TFirstStartSettings Settings(TSystemPlace::Now(QDateTime::currentMSecsSinceEpoch()),
                                       TZoneTable::FromFolder(TZoneTable::DatabaseFolder()),
                                       std::move(Offered));
    Settings.Seed(Registry, TFirstStartSettings::CurrentDateTime());
}

} // namespace

TInstalledStart::TInstalledStart() : FCopy(TInstalledCopy::Find(TInstalledCopy::ProgramFolder())) {}

TInstalledStart::~TInstalledStart() = default;

void TInstalledStart::Prepare()
{
    if (!FCopy)
        return;
    const TWorkingFolder Folder(TWorkingFolder::DefaultPath());
    FStartUpLock = std::make_unique<TLockFile>((Folder.Path() / ".start-up.lock").string());
    FStartUpLock->Lock();
    Folder.Prepare(*FCopy);
    Folder.Enter();
    // Without its seed the clock still starts, and says on its own what the store lacks.
    try {
        SeedFirstStart(Platform::LinuxServices());
    } catch (const std::exception& Error) {
        std::fprintf(stderr, "zentavo-3d: the first start's settings: %s\n", Error.what());
    }
}

void TInstalledStart::Started()
{
    FStartUpLock.reset();
}
