#include "install/InstalledStart.h"
#include "instance/SingleInstance.h"
#include "RunClock.h"

#include <cstdio>
#include <exception>

int main(int ArgumentCount, char** Arguments)
{
    const TSingleInstance Instance;
    if (!Instance.IsFirst())
        return 0; // the user's clock on this display is already there
    TInstalledStart Start;
    try {
        Start.Prepare();
    } catch (const std::exception& Error) {
        std::fprintf(stderr, "zentavo-3d: %s\n", Error.what());
        return 1;
    }
    return RunClock(ArgumentCount, Arguments, [&](Twatch&) { Start.Started(); });
}
