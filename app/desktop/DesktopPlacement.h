#pragma once

#include "platform/DesktopWindow.h"

#include <QObject>
#include <QPoint>
#include <QTimer>

#include <chrono>
#include <optional>

class QWidget;

// Keeps the clock on the desktop while desktop managers come and go: inside
// the desktop window while there is one, a desktop gadget of its own while
// there is none, always at the same place on the screen. It follows the
// display's news of windows that went or came, and looks again on its own
// every few seconds for the desktop windows that arrive without news.
class TDesktopPlacement : public QObject
{
public:
    // A desktop manager's start or end is a burst of changes: one look after it settles.
    static constexpr int SettleMilliseconds = 300;
    static constexpr int LookAgainMilliseconds = 2000;
    // How long a move asked for may take to reach the display before the display's word counts alone.
    static constexpr std::chrono::milliseconds MoveInFlight{1000};

    TDesktopPlacement(Platform::TDesktopWindow& Desktop, QWidget& Window);
    ~TDesktopPlacement() override;

    // The start: inside ProgramManagerWindow, or a gadget of its own when it is 0.
    void Place(Platform::TNativeWindow ProgramManagerWindow);
    // Follows a desktop window that went (the clock becomes a gadget at the
    // same place) or came (it is taken in, at the same place).
    void Check();
    // The clock is closing: the window stays where and as it is.
    void Stop();
    Platform::TNativeWindow Parent() const { return FParent; }

    // The window's place on the screen as the display has it now.
    QPoint Position();
    void Move(QPoint Place);
    // Each keeps the other coordinate of a move still on its way to the
    // display: the moon drag and the settings' load set both, one by one.
    void SetTop(int Value);
    void SetLeft(int Value);

private:
    void Reparent(Platform::TNativeWindow Parent);
    std::optional<QPoint> MoveOnItsWay();
    // Where the window is going: the move on its way, else where it is.
    QPoint Target();

    Platform::TDesktopWindow& FDesktop;
    QWidget& FWindow;
    Platform::TNativeWindow FParent = 0;
    // Where the window was last seen: a window the display lost comes back there.
    QPoint FLastPosition;
    std::optional<QPoint> FRequested;
    std::chrono::steady_clock::time_point FRequestedAt;
    QTimer FSettle;
    QTimer FLookAgain;
};
