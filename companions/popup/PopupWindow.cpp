#include "PopupWindow.h"

#include "LibraryHold.h"
#include "PopupPage.h"

#include "DesktopBrowser.h"
#include <QKeySequence>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineProfile>
#include <QWebEngineView>

TPopupWindow::TPopupWindow(const QUrl& Link, const QString& Caption, int DelaySeconds, int Style)
{
    TLibraryHold::Acquire();
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
    if (DelaySeconds > 0)
        QTimer::singleShot(DelaySeconds * 1000, this, &QWidget::close);
    FPage->load(Link);
}

TPopupWindow::~TPopupWindow()
{
    // The page before its profile, as the web engine wants.
    delete FView;
    delete FPage;
    delete FProfile;
    TLibraryHold::Release();
}
