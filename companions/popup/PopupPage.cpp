#include "PopupPage.h"

#include "DesktopBrowser.h"

namespace {

// Receives the first navigation of a page the site opened in a new window.
class TNewWindowPage : public QWebEnginePage
{
public:
    TNewWindowPage(QWebEngineProfile* Profile, TPopupPage* Opener, const QUrl& Home)
        : QWebEnginePage(Profile, Opener), FOpener(Opener), FHome(Home)
    {}

protected:
    bool acceptNavigationRequest(const QUrl& Link, NavigationType, bool) override
    {
        if (TPopupPage::IsSameSite(FHome, Link))
            FOpener->setUrl(Link);
        else
            FOpener->OpenOutside(Link);
        return false;
    }

private:
    TPopupPage* FOpener;
    QUrl FHome;
};

} // namespace

TPopupPage::TPopupPage(QWebEngineProfile* Profile, const QUrl& Home, QObject* Parent)
    : QWebEnginePage(Profile, Parent), FHome(Home)
{}

bool TPopupPage::IsSameSite(const QUrl& Home, const QUrl& Link)
{
    if (Home.isLocalFile() || Link.isLocalFile())
        return Home.isLocalFile() && Link.isLocalFile();
    return Home.scheme() == Link.scheme() && Home.host().compare(Link.host(), Qt::CaseInsensitive) == 0 &&
           Home.port(Home.scheme() == QLatin1String("https") ? 443 : 80) ==
               Link.port(Link.scheme() == QLatin1String("https") ? 443 : 80);
}

bool TPopupPage::IsBrowserScheme(const QUrl& Link)
{
    const QString Scheme = Link.scheme().toLower();
    return Scheme == QLatin1String("http") || Scheme == QLatin1String("https") ||
           Scheme == QLatin1String("mailto");
}

void TPopupPage::UserActed()
{
    FLastAct.start();
}

bool TPopupPage::OpenOutside(const QUrl& Link)
{
    // A click reaches the page at once; a navigation that comes later is the page's own doing.
    constexpr qint64 ClickLifetime = 2000;
    const bool Allowed = FLastAct.isValid() && FLastAct.elapsed() < ClickLifetime && IsBrowserScheme(Link);
    if (!Allowed)
        return false;
    FLastAct.invalidate();
    return OpenInDesktopBrowser(Link);
}

bool TPopupPage::acceptNavigationRequest(const QUrl& Link, NavigationType Type, bool IsMainFrame)
{
    // Frames inside the page and the window's own first load are the page's business.
    if (!IsMainFrame || Type == NavigationTypeTyped || IsSameSite(FHome, Link))
        return true;
    if (Link.scheme() == QLatin1String("about") || Link.scheme() == QLatin1String("data"))
        return true;
    // Only a link the user followed; a script's redirection or form goes nowhere.
    if (Type == NavigationTypeLinkClicked)
        OpenOutside(Link);
    return false;
}

QWebEnginePage* TPopupPage::createWindow(WebWindowType)
{
    // Owned by this page, so it goes with the window.
    return new TNewWindowPage(profile(), this, FHome);
}
