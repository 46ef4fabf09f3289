#pragma once

#include <QElapsedTimer>
#include <QUrl>
#include <QWebEnginePage>

// The page of a popup: it stays on the site it was opened for. A link to
// another site, in the page or in a new window, goes to the desktop's browser
// only when the user clicked it: one address per click, and only http, https
// or mailto. A page's own scripts open nothing outside it.
class TPopupPage : public QWebEnginePage
{
public:
    TPopupPage(QWebEngineProfile* Profile, const QUrl& Home, QObject* Parent);

    // True when Link belongs to the popup's own site (same scheme, host and
    // port; any local file for a local page).
    static bool IsSameSite(const QUrl& Home, const QUrl& Link);
    // The schemes the desktop's browser may be handed.
    static bool IsBrowserScheme(const QUrl& Link);

    // The user clicked (or pressed Enter) in the page: one navigation away may follow.
    void UserActed();
    // Hands Link to the desktop's browser when the user's last act allows it, which it uses up.
    bool OpenOutside(const QUrl& Link);

protected:
    bool acceptNavigationRequest(const QUrl& Link, NavigationType Type, bool IsMainFrame) override;
    QWebEnginePage* createWindow(WebWindowType Type) override;

private:
    QUrl FHome;
    QElapsedTimer FLastAct; // invalid: no act that is not used up
};
