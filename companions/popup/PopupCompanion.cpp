// popup.so: the clock's web windows (help, about, services), in a program of their own.
//
// GetBrowserWin(MainWindow, Link, Caption, Top, Left, Width, Height, Delay, Style)
//   Link     an address (http, https, file) or a file name relative to the
//            working folder, where the clock's own pages live; of those, the
//            one in the clock's language ("help.en.html") where there is one.
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
// The window is shown by the popup program "zentavo-popup" beside this
// library, which it starts (one for all windows open at a time) and which
// ends with its last window or with the clock: the web engine never enters
// the clock's process. The call returns once the request is on its way. The
// page stays on its site: a link to another site that the user clicks opens
// in the desktop's browser. Where no window can be shown (a display without
// windows such as "offscreen", the program missing or writable by others, or
// a web engine that cannot run) the link goes to the desktop's browser.
#include "DesktopBrowser.h"
#include "LibraryLoader.h"
#include "PopupProgram.h"
#include "PopupRequest.h"
#include "UserLanguage.h"
#include "zentavo_companion.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

#include <dlfcn.h>

ZT_EXPORT ZTGetBrowserWinFunction GetBrowserWin;

namespace {

QString FromUtf16(const uint16_t* Text)
{
    if (Text == nullptr)
        return {};
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(Text));
}

// The clock's own page in the clock's language: "help.en.html" beside "help.html".
QString LocalisedPage(const QString& Path)
{
    const QFileInfo Page(Path);
    const QString Stem = Page.completeBaseName();
    const QString Suffix = Page.suffix();
    std::vector<std::string> Offered{Platform::SourceLanguage};
    for (const QString& Name : Page.dir().entryList({Stem + QStringLiteral(".*.") + Suffix}, QDir::Files))
        Offered.push_back(Name.mid(Stem.size() + 1).chopped(Suffix.size() + 1).toStdString());
    const std::string Language = Platform::ChosenLanguage(Offered);
    if (Language == Platform::SourceLanguage)
        return Path;
    return Page.dir().filePath(Stem + QLatin1Char('.') + QString::fromStdString(Language) + QLatin1Char('.') +
                               Suffix);
}

QUrl ResolveLink(const QString& Link)
{
    const QString Trimmed = Link.trimmed();
    if (Trimmed.isEmpty())
        return {};
    const QUrl Url(Trimmed);
    if (!Url.scheme().isEmpty() && Url.scheme().size() > 1)
        return Url;
    return QUrl::fromLocalFile(LocalisedPage(QFileInfo(QDir::current(), Trimmed).absoluteFilePath()));
}

bool CanShowWindows()
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
        return false;
    const QString Platform = QGuiApplication::platformName();
    return Platform != QLatin1String("offscreen") && Platform != QLatin1String("minimal");
}

// The program beside this library, when it may be run: the same rule as for the companions.
QString PopupProgramPath()
{
    Dl_info Info;
    if (dladdr(reinterpret_cast<const void*>(&GetBrowserWin), &Info) == 0 || Info.dli_fname == nullptr)
        return {};
    // An installed copy's working folder holds a link to the installed
    // library, whose program stays beside the library itself; a library of
    // the user's own (a staged update) has the program beside it.
    const QFileInfo Library(QString::fromLocal8Bit(Info.dli_fname));
    for (const QString& Folder : {Library.canonicalPath(), Library.absolutePath()}) {
        const QString Path = Folder + QStringLiteral("/zentavo-popup");
        if (!Folder.isEmpty() && QFileInfo(Path).isExecutable() && Platform::IsSafeToLoad(Path.toStdString()))
            return Path;
    }
    return {};
}

} // namespace

int32_t GetBrowserWin(ZTWindow*, const uint16_t* Link, const uint16_t* Caption, int32_t Top, int32_t Left,
                      int32_t Width, int32_t Height, int32_t Delay, int32_t Style)
{
    try {
        const QUrl Url = ResolveLink(FromUtf16(Link));
        if (!Url.isValid())
            return 0;
        const QString Program = PopupProgramPath();
        if (!CanShowWindows() || Program.isEmpty())
            return OpenInDesktopBrowser(Url) ? 1 : 0;
        TPopupRequest Request;
        Request.Link = Url;
        Request.Caption = FromUtf16(Caption);
        Request.Top = Top;
        Request.Left = Left;
        Request.Width = Width;
        Request.Height = Height;
        Request.Delay = Delay;
        Request.Style = Style;
        if (!TPopupProgram::Show(Program, Request))
            return OpenInDesktopBrowser(Url) ? 1 : 0;
        return 1;
    } catch (...) {
        return 0;
    }
}
