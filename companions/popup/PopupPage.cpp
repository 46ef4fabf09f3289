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
            OpenInDesktopBrowser(Link);
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

bool TPopupPage::acceptNavigationRequest(const QUrl& Link, NavigationType Type, bool IsMainFrame)
{
    // Frames inside the page and the window's own first load are the page's business.
    if (!IsMainFrame || Type == NavigationTypeTyped || IsSameSite(FHome, Link))
        return true;
    if (Link.scheme() == QLatin1String("about") || Link.scheme() == QLatin1String("data"))
        return true;
    OpenInDesktopBrowser(Link);
    return false;
}

QWebEnginePage* TPopupPage::createWindow(WebWindowType)
{
    // Owned by this page, so nothing of the library outlives the window.
    return new TNewWindowPage(profile(), this, FHome);
}
