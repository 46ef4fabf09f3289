#include "ZentavoApplication.h"

#include "ErrorReport.h"

#include <QPalette>
#include <QSocketNotifier>
#include <QToolTip>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {
int SignalPipeEnds[2] = {-1, -1};

void OnTerminationSignal(int)
{
    const char Byte = 1;
    // Only async-signal-safe work here: the event loop does the rest.
    [[maybe_unused]] const auto Written = write(SignalPipeEnds[1], &Byte, 1);
}
} // namespace

struct TZentavoApplication::TSignalPipe
{
    QSocketNotifier* Notifier = nullptr;
};

TZentavoApplication::TZentavoApplication(int& ArgumentCount, char** Arguments)
    : QApplication(ArgumentCount, Arguments)
{}

TZentavoApplication::~TZentavoApplication()
{
    delete FSignalPipe;
}

namespace {
QString& ApplicationTitle()
{
    static QString Title;
    return Title;
}
} // namespace

QString TZentavoApplication::Title()
{
    return ApplicationTitle();
}

void TZentavoApplication::SetTitle(const QString& Value)
{
    // Not the display name: the toolkit would append that to every window title, "watch" included.
    ApplicationTitle() = Value;
    QApplication::setApplicationName(Value);
}

void TZentavoApplication::SetHintColor(const QColor& Color)
{
    QPalette Palette = QToolTip::palette();
    Palette.setColor(QPalette::ToolTipBase, Color);
    QToolTip::setPalette(Palette);
}

bool TZentavoApplication::notify(QObject* Receiver, QEvent* Event)
{
    bool Result = false;
    RunGuarded([&] { Result = QApplication::notify(Receiver, Event); });
    return Result;
}

void TZentavoApplication::WatchTerminationSignals()
{
    if (FSignalPipe != nullptr || pipe2(SignalPipeEnds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    FSignalPipe = new TSignalPipe;
    FSignalPipe->Notifier = new QSocketNotifier(SignalPipeEnds[0], QSocketNotifier::Read, this);
    connect(FSignalPipe->Notifier, &QSocketNotifier::activated, this, [this] {
        char Bytes[16];
        while (read(SignalPipeEnds[0], Bytes, sizeof Bytes) > 0) {
        }
        emit TerminationRequested();
    });
    struct sigaction Action = {};
    Action.sa_handler = OnTerminationSignal;
    sigemptyset(&Action.sa_mask);
    Action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &Action, nullptr);
    sigaction(SIGINT, &Action, nullptr);
    sigaction(SIGHUP, &Action, nullptr);
}
