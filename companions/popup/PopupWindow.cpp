#include "PopupWindow.h"

#include "PopupPage.h"

#include "DesktopBrowser.h"
#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <algorithm>
#include <limits>

TPopupWindow::TPopupWindow(const QUrl& Link, const QString& Caption, int DelaySeconds, int Style)
{
    setObjectName(QStringLiteral("ZentavoPopupWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Caption);
    Qt::WindowFlags Flags = Qt::Window;
    if (Style & StayOnTop)
        Flags |= Qt::WindowStaysOnTopHint;
    if (Style & Frameless)
        Flags |= Qt::FramelessWindowHint;
    setWindowFlags(Flags);

    // A profile of its own, in memory only: deleting it with the window ends its renderer.
    FProfile = new QWebEngineProfile(this);
    FPage = new TPopupPage(FProfile, Link, this);
    FView = new QWebEngineView(this);
    FView->setObjectName(QStringLiteral("ZentavoPopupView"));
    FView->setPage(FPage);
    auto* Layout = new QVBoxLayout(this);
    Layout->setContentsMargins(0, 0, 0, 0);
    Layout->addWidget(FView);

    // A renderer that cannot start (no sandbox, no GPU process) leaves the link to the desktop's browser.
    connect(FPage, &QWebEnginePage::renderProcessTerminated, this,
            [this, Link](QWebEnginePage::RenderProcessTerminationStatus Status, int) {
                if (Status == QWebEnginePage::NormalTerminationStatus)
                    return;
                OpenInDesktopBrowser(Link);
                close();
            });
    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &QWidget::close);
    // The page's view draws in widgets of its own, made as it likes: every event is looked at.
    qApp->installEventFilter(this);
    if (DelaySeconds > 0) {
        // The timer counts in milliseconds of an int: a delay beyond its reach, about 24 days, is
        // as good as none, and must not wrap into a window that vanishes at once. A timer of the
        // window's own, so that a window closed before its delay leaves nothing pending.
        constexpr int LongestDelay = std::numeric_limits<int>::max() / 1000;
        auto* Closer = new QTimer(this);
        Closer->setSingleShot(true);
        connect(Closer, &QTimer::timeout, this, &QWidget::close);
        Closer->start(std::min(DelaySeconds, LongestDelay) * 1000);
    }
    FPage->load(Link);
}

TPopupWindow::~TPopupWindow()
{
    qApp->removeEventFilter(this);
    // The page before its profile, as the web engine wants.
    delete FView;
    delete FPage;
    delete FProfile;
}

bool TPopupWindow::eventFilter(QObject* Watched, QEvent* Event)
{
    bool Acted = Event->type() == QEvent::MouseButtonRelease;
    if (Event->type() == QEvent::KeyPress) {
        const int Key = static_cast<QKeyEvent*>(Event)->key();
        Acted = Key == Qt::Key_Return || Key == Qt::Key_Enter || Key == Qt::Key_Space;
    }
    if (Acted) {
        auto* Target = qobject_cast<QWidget*>(Watched);
        if (Target != nullptr && (Target == this || isAncestorOf(Target)))
            FPage->UserActed();
    }
    return QWidget::eventFilter(Watched, Event);
}
