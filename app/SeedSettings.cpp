// First-start settings, as an installer would leave them: the values that the
// clock reads without a default. An existing settings key is left alone.
#include "platform/Platform.h"
#include "settings/SettingsKey.h"
#include "settings/SettingsTable.h"

#include <QDateTime>

#include <cstdio>
#include <cstring>

namespace {
double NowAsDateTime()
{
    const QDateTime Now = QDateTime::currentDateTime();
    const QDateTime Epoch(QDate(1899, 12, 30), QTime(0, 0));
    return static_cast<double>(Epoch.date().daysTo(Now.date())) +
           Now.time().msecsSinceStartOfDay() / 86400000.0;
}

// The designed zoom; the angles start at 0 and the event at the moment of installing.
double FirstValue(const char* Name)
{
    if (std::strcmp(Name, "FocalLength") == 0)
        return 119.99996;
    if (std::strcmp(Name, "DateTime") == 0)
        return NowAsDateTime();
    return 0;
}
} // namespace

int main()
{
    try {
        Platform::TRegistry& Registry = *Platform::LinuxServices().Registry;
        if (Registry.OpenKey(SettingsKeyPath) != nullptr)
            return 0;
        std::vector<Platform::TRegistryChange> Changes;
        for (const TSetting& Setting : ClockSettings())
            if (Setting.Kind == TSettingKind::Float)
                Changes.push_back(
                    {SettingsKeyPath, Setting.Name, TSettingsKey::FloatValue(FirstValue(Setting.Name))});
        Registry.Apply(Changes);
        std::puts("seeded");
        return 0;
    } catch (const std::exception& Error) {
        std::fprintf(stderr, "zentavo-3d-seed: %s\n", Error.what());
        return 1;
    }
}
