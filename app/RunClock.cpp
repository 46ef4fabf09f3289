#include "RunClock.h"

#include "app/language/Translations.h"
#include "ErrorReport.h"
#include "platform/QtPlatformChoice.h"
#include "Watch.h"
#include "ZentavoApplication.h"

#include <QApplication>
#include <QWidget>

#include <memory>

int RunClock(int ArgumentCount, char** Arguments, const std::function<void(Twatch&)>& Created)
{
    Platform::SelectQtPlatform();
    TZentavoApplication Application(ArgumentCount, Arguments);
    TZentavoApplication::SetTitle(QStringLiteral("Zentavo 3D"));
    const TTranslations Translations(TTranslations::Chosen());
    // The window shows itself while it is created; closing it ends the program.
    Application.setQuitOnLastWindowClosed(false);
    Application.WatchTerminationSignals();

    Platform::TServices& Services = Platform::LinuxServices();
    const Platform::TNativeWindow ProgramManagerWindow = Services.Desktop->FindProgramManager();

    std::unique_ptr<Twatch> Window;
    bool Creating = true;
    bool TerminationPending = false;
    // Termination requests and the end of the desktop session take the path of
    // "&Sair", reporting a failed save on standard error. One that comes while
    // the window is being made (an error box may be open) closes it as soon as it exists.
    QObject::connect(&Application, &TZentavoApplication::TerminationRequested, &Application, [&] {
        SetReportToStandardError(true);
        if (!Creating && Window) {
            Window->CloseFor(Twatch::TCloseReason::Termination);
            return;
        }
        TerminationPending = true;
        if (QWidget* Box = QApplication::activeModalWidget())
            Box->close();
    });
    QObject::connect(&Application, &QGuiApplication::commitDataRequest, &Application, [&] {
        SetReportToStandardError(true);
        if (!Creating && Window)
            Window->CloseFor(Twatch::TCloseReason::Termination);
    });
    if (!RunGuarded([&] { Window = std::make_unique<Twatch>(Services, ProgramManagerWindow); }))
        return 1;
    Creating = false;
    if (TerminationPending) {
        Window->CloseFor(Twatch::TCloseReason::Termination);
        return Window->ExitCode();
    }
    if (Created && !RunGuarded([&] { Created(*Window); }))
        return 1;
    const int Result = Application.exec();
    return Result != 0 ? Result : Window->ExitCode();
}
