// First-start settings, as an installer would leave them: the values that the
// clock reads without a default. An existing settings key is left alone.
#include "platform/Platform.h"
#include "SettingsKey.h"

#include <QDateTime>

#include <cstdio>

namespace {
double NowAsDateTime()
{
    const QDateTime Now = QDateTime::currentDateTime();
    const QDateTime Epoch(QDate(1899, 12, 30), QTime(0, 0));
    return static_cast<double>(Epoch.date().daysTo(Now.date())) +
           Now.time().msecsSinceStartOfDay() / 86400000.0;
}
} // namespace

int main()
{
    try {
        Platform::TRegistry& Registry = *Platform::LinuxServices().Registry;
        const char* const Path = "Software\\Zentavo-3D\\geovalues";
        if (Registry.OpenKey(Path) != nullptr)
            return 0;
        TSettingsKey Key(Registry.CreateKey(Path));
        Key.WriteFloat("Pitch", 0);
        Key.WriteFloat("Roll", 0);
        Key.WriteFloat("Turn", 0);
        Key.WriteFloat("FocalLength", 119.99996);
        Key.WriteFloat("DateTime", NowAsDateTime());
        std::puts("seeded");
        return 0;
    } catch (const std::exception& Error) {
        std::fprintf(stderr, "zentavo-3d-seed: %s\n", Error.what());
        return 1;
    }
}
