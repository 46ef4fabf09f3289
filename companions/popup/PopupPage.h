#pragma once

#include <QUrl>
#include <QWebEnginePage>

// The page of a popup: it stays on the site it was opened for; a link to
// another site, in the page or in a new window, goes to the desktop's
// browser.
class TPopupPage : public QWebEnginePage
{
public:
    TPopupPage(QWebEngineProfile* Profile, const QUrl& Home, QObject* Parent);

    // True when Link belongs to the popup's own site (same scheme, host and
    // port; any local file for a local page).
    static bool IsSameSite(const QUrl& Home, const QUrl& Link);

protected:
    bool acceptNavigationRequest(const QUrl& Link, NavigationType Type, bool IsMainFrame) override;
    QWebEnginePage* createWindow(WebWindowType Type) override;

private:
    QUrl FHome;
};
