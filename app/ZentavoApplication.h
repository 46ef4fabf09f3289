#pragma once

#include <QApplication>

// The application object: its title, the hint settings, and the last guard
// of the event loop, so that no exception ever leaves an event handler.
class TZentavoApplication : public QApplication
{
    Q_OBJECT

public:
    TZentavoApplication(int& ArgumentCount, char** Arguments);
    ~TZentavoApplication() override;

    static QString Title();
    static void SetTitle(const QString& Value);
    static int HintHidePause() { return FHintHidePause; }
    static void SetHintHidePause(int Milliseconds) { FHintHidePause = Milliseconds; }
    static void SetHintColor(const QColor& Color);

    bool notify(QObject* Receiver, QEvent* Event) override;

    // SIGTERM and SIGINT arrive as this signal on the event loop.
    void WatchTerminationSignals();

signals:
    void TerminationRequested();

private:
    static inline int FHintHidePause = 2500;
    struct TSignalPipe;
    TSignalPipe* FSignalPipe = nullptr;
};
