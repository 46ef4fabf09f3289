// popup.so: the clock's web windows (help, about, services) in Qt WebEngine.
//
// GetBrowserWin(MainWindow, Link, Caption, Top, Left, Width, Height, Delay, Style)
//   Link     an address (http, https, file) or a file name relative to the
//            working folder, where the clock's own pages live.
//   Caption  the window's title.
//   Top, Left, Width, Height
//            the window's place on the screen (its inside, without the
//            frame); a width or height below 100 becomes 640 x 480.
//   Delay    seconds after which the window closes by itself, like a
//            showcase that makes way again; 0 or less keeps it until the
//            user closes it.
//   Style    bit 1 (value 1): stays above other windows; bit 2 (value 2): no
//            frame (Escape closes it, as in every popup). Other bits are
//            ignored; 0 is a plain framed window.
// The window opens and the call returns at once; the window outlives it and
// keeps the library loaded until it is closed. The page stays on its site:
// links to other sites open in the desktop's browser. Where the web engine
// cannot run (no widget application, a display without windows such as
// "offscreen", no QtWebEngineProcess, or a renderer that dies at start) the
// link goes to the desktop's browser instead.
#include "PopupWindow.h"
#include "zentavo_companion.h"

#include "DesktopBrowser.h"
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QOpenGLContext>
#include <QScreen>

#include <unistd.h>

ZT_EXPORT ZTGetBrowserWinFunction GetBrowserWin;

// Qt's own, exported but not in its public headers: the context the web
// engine shares its pictures through.
Q_GUI_EXPORT QOpenGLContext* qt_gl_global_share_context();
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* Context);

namespace {

QString FromUtf16(const uint16_t* Text)
{
    if (Text == nullptr)
        return {};
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(Text));
}

QUrl ResolveLink(const QString& Link)
{
    const QString Trimmed = Link.trimmed();
    if (Trimmed.isEmpty())
        return {};
    const QUrl Url(Trimmed);
    if (!Url.scheme().isEmpty() && Url.scheme().size() > 1)
        return Url;
    return QUrl::fromLocalFile(QFileInfo(QDir::current(), Trimmed).absoluteFilePath());
}

bool WebEngineCanRun()
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr)
        return false;
    const QString Platform = QGuiApplication::platformName();
    if (Platform == QLatin1String("offscreen") || Platform == QLatin1String("minimal"))
        return false;
    QString Process = qEnvironmentVariable("QTWEBENGINEPROCESS_PATH");
    if (Process.isEmpty())
        Process =
            QLibraryInfo::path(QLibraryInfo::LibraryExecutablesPath) + QStringLiteral("/QtWebEngineProcess");
    return QFileInfo(Process).isExecutable();
}

// Read by the web engine when it starts, that is with the first window.
void PrepareWebEngine()
{
    // Chromium's sandbox refuses to run as root; nothing else can give it back there.
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // Help pages need no GPU, and a GPU process that cannot start (Xvfb, remote displays) costs the page.
    if (!qEnvironmentVariableIsSet("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
    // The web engine expects the application to have made a shared context before it started
    // (Qt::AA_ShareOpenGLContexts); an application that loads it later gets one now. It is Qt's
    // object, owned by the application, and stays for the process.
    if (qt_gl_global_share_context() == nullptr) {
        auto* Context = new QOpenGLContext(QCoreApplication::instance());
        if (Context->create())
            qt_gl_set_global_share_context(Context);
        else
            delete Context;
    }
}

QRect Placement(int32_t Top, int32_t Left, int32_t Width, int32_t Height)
{
    QRect Place(Left, Top, Width, Height);
    if (Width < 100 || Height < 100)
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

} // namespace

int32_t GetBrowserWin(ZTWindow*, const uint16_t* Link, const uint16_t* Caption, int32_t Top, int32_t Left,
                      int32_t Width, int32_t Height, int32_t Delay, int32_t Style)
{
    try {
        const QUrl Url = ResolveLink(FromUtf16(Link));
        if (!Url.isValid())
            return 0;
        if (!WebEngineCanRun())
            return OpenInDesktopBrowser(Url) ? 1 : 0;
        PrepareWebEngine();
        auto* Window = new TPopupWindow(Url, FromUtf16(Caption), Delay, Style);
        Window->setGeometry(Placement(Top, Left, Width, Height));
        Window->show();
        return 1;
    } catch (...) {
        return 0;
    }
}
