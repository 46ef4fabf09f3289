#pragma once

#include <QUrl>
#include <QWidget>

class QWebEngineProfile;
class QWebEngineView;
class TPopupPage;

// One web window of the clock, in the popup program. It deletes itself when
// closed.
class TPopupWindow : public QWidget
{
public:
    // Style bits.
    static constexpr int StayOnTop = 1;
    static constexpr int Frameless = 2;

    TPopupWindow(const QUrl& Link, const QString& Caption, int DelaySeconds, int Style);
    ~TPopupWindow() override;

protected:
    // The user's clicks and Enter in the window, which alone may open another site.
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    QWebEngineProfile* FProfile;
    TPopupPage* FPage;
    QWebEngineView* FView;
};
