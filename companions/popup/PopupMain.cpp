// zentavo-popup: the clock's web windows, out of the clock's process.
//
// popup.so starts it beside itself and writes one request a line on its
// input (TPopupRequest); it answers "shown N" when window N is up, or
// "outside N" when the link went to the desktop's browser instead (the web
// engine cannot run here). It ends with its last window, and at once when
// its input closes: the clock is gone, or no longer wants it.
#include "DesktopBrowser.h"
#include "PopupRequest.h"
#include "PopupWindow.h"

#include <QApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QScreen>
#include <QSocketNotifier>

#include <cstdio>
#include <unistd.h>

namespace {

bool WebEngineCanRun()
{
    const QString Platform = QGuiApplication::platformName();
    if (Platform == QLatin1String("offscreen") || Platform == QLatin1String("minimal"))
        return false;
    QString Process = qEnvironmentVariable("QTWEBENGINEPROCESS_PATH");
    if (Process.isEmpty())
        Process =
            QLibraryInfo::path(QLibraryInfo::LibraryExecutablesPath) + QStringLiteral("/QtWebEngineProcess");
    return QFileInfo(Process).isExecutable();
}

QRect Placement(const TPopupRequest& Request)
{
    QRect Place(Request.Left, Request.Top, Request.Width, Request.Height);
    if (Request.Width < 100 || Request.Height < 100)
        Place.setSize(QSize(640, 480));
    // A window wholly off every screen would be lost: bring it onto the primary one.
    bool Visible = false;
    for (QScreen* Screen : QGuiApplication::screens())
        Visible = Visible || Screen->geometry().intersects(Place);
    if (!Visible)
        if (QScreen* Screen = QGuiApplication::primaryScreen())
            Place.moveCenter(Screen->availableGeometry().center());
    return Place;
}

void Answer(const char* What, int Number)
{
    std::printf("%s %d\n", What, Number);
    std::fflush(stdout);
}

// Reads the requests and keeps the count of open windows.
class TPopupHost : public QObject
{
public:
    TPopupHost() : FInput(STDIN_FILENO, QSocketNotifier::Read), FWebEngine(WebEngineCanRun())
    {
        connect(&FInput, &QSocketNotifier::activated, this, [this] { ReadInput(); });
    }

private:
    void ReadInput()
    {
        char Buffer[4096];
        const ssize_t Count = ::read(STDIN_FILENO, Buffer, sizeof Buffer);
        if (Count <= 0) {
            // The clock ended (or let go of us): its windows go with it.
            FInput.setEnabled(false);
            QCoreApplication::exit(0);
            return;
        }
        FLine.append(Buffer, Count);
        for (qsizetype End = FLine.indexOf('\n'); End >= 0; End = FLine.indexOf('\n')) {
            const std::optional<TPopupRequest> Request = TPopupRequest::FromLine(FLine.left(End));
            FLine.remove(0, End + 1);
            if (Request)
                Open(*Request);
        }
        QuitWithoutWindows();
    }

    void Open(const TPopupRequest& Request)
    {
        if (!FWebEngine) {
            OpenInDesktopBrowser(Request.Link);
            Answer("outside", Request.Number);
            return;
        }
        auto* Window = new TPopupWindow(Request.Link, Request.Caption, Request.Delay, Request.Style);
        Window->setGeometry(Placement(Request));
        ++FOpen;
        connect(Window, &QObject::destroyed, this, [this] {
            --FOpen;
            QuitWithoutWindows();
        });
        Window->show();
        Answer("shown", Request.Number);
    }

    void QuitWithoutWindows()
    {
        // Whatever arrived after the decision is sent again by popup.so to a new program.
        if (FOpen == 0) {
            FInput.setEnabled(false);
            QCoreApplication::exit(0);
        }
    }

    QSocketNotifier FInput;
    QByteArray FLine;
    bool FWebEngine;
    int FOpen = 0;
};

} // namespace

int main(int ArgumentCount, char** Arguments)
{
    // Chromium's sandbox refuses to run as root; nothing else can give it back there.
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // Help pages need no GPU, and a GPU process that cannot start (Xvfb, remote displays) costs the page.
    if (!qEnvironmentVariableIsSet("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
    QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication Application(ArgumentCount, Arguments);
    Application.setQuitOnLastWindowClosed(false);
    TPopupHost Host;
    const int Result = Application.exec();
    // Windows still open when the clock went: their pages before the application.
    QList<QPointer<QWidget>> Windows;
    for (QWidget* Window : QApplication::topLevelWidgets())
        if (Window->objectName() == QLatin1String("ZentavoPopupWindow"))
            Windows.append(Window);
    for (const QPointer<QWidget>& Window : Windows)
        delete Window.data();
    return Result;
}
