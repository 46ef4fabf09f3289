#include "install/InstalledStart.h"
#include "instance/InstanceCall.h"
#include "instance/SingleInstance.h"
#include "RunClock.h"
#include "Watch.h"

#include <cstdio>
#include <exception>

int main(int ArgumentCount, char** Arguments)
{
    const TSingleInstance Instance;
    if (!Instance.IsFirst()) {
        // The user's clock on this display is there already: it shows itself.
        TInstanceCall::Call(TInstanceCall::SocketPathFor(Instance.Path()));
        return 0;
    }
    TInstalledStart Start;
    try {
        Start.Prepare();
    } catch (const std::exception& Error) {
        std::fprintf(stderr, "zentavo-3d: %s\n", Error.what());
        return 1;
    }
    return RunClock(ArgumentCount, Arguments, [&](Twatch& Window) {
        Start.Started();
        if (!Instance.Path().empty())
            new TInstanceCall(
                TInstanceCall::SocketPathFor(Instance.Path()),
                [&Window] {
                    Window.raise();
                    Window.activateWindow();
                },
                &Window);
    });
}
