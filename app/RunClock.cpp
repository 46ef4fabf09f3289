#include "RunClock.h"

#include "ErrorReport.h"
#include "Watch.h"
#include "ZentavoApplication.h"

#include <memory>

int RunClock(int ArgumentCount, char** Arguments, const std::function<void(Twatch&)>& Created)
{
    TZentavoApplication Application(ArgumentCount, Arguments);
    TZentavoApplication::SetTitle(QStringLiteral("Zentavo 3D"));
    // The window shows itself while it is created; closing it ends the program.
    Application.setQuitOnLastWindowClosed(false);
    Application.WatchTerminationSignals();

    Platform::TServices& Services = Platform::LinuxServices();
    const Platform::TNativeWindow ProgramManagerWindow = Services.Desktop->FindProgramManager();

    std::unique_ptr<Twatch> Window;
    if (!RunGuarded([&] { Window = std::make_unique<Twatch>(Services, ProgramManagerWindow); }))
        return 1;
    if (Created && !RunGuarded([&] { Created(*Window); }))
        return 1;
    // Termination requests and the end of the desktop session take the same path as "&Sair".
    QObject::connect(&Application, &TZentavoApplication::TerminationRequested, Window.get(), &QWidget::close);
    QObject::connect(&Application, &QGuiApplication::commitDataRequest, Window.get(),
                     [&Window] { RunGuarded([&] { Window->zt_SaveSettings(); }); });
    return Application.exec();
}
