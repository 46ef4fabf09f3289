#include "DesktopPlacement.h"

#include <QWidget>

TDesktopPlacement::TDesktopPlacement(Platform::TDesktopWindow& Desktop, QWidget& Window)
    : FDesktop(Desktop), FWindow(Window), FLastPosition(Window.pos())
{
    FSettle.setSingleShot(true);
    FSettle.setInterval(SettleMilliseconds);
    connect(&FSettle, &QTimer::timeout, this, [this] { Check(); });
    FLookAgain.setInterval(LookAgainMilliseconds);
    connect(&FLookAgain, &QTimer::timeout, this, [this] { Check(); });
}

TDesktopPlacement::~TDesktopPlacement()
{
    Stop();
}

void TDesktopPlacement::Place(Platform::TNativeWindow ProgramManagerWindow)
{
    FDesktop.SetOnDesktopChange([this] { FSettle.start(); });
    FParent = ProgramManagerWindow;
    FDesktop.SetParent(FWindow, ProgramManagerWindow);
    FLookAgain.start();
}

void TDesktopPlacement::Stop()
{
    FDesktop.SetOnDesktopChange(nullptr);
    FSettle.stop();
    FLookAgain.stop();
}

void TDesktopPlacement::Check()
{
    if (FParent != 0 && !FDesktop.IsInside(FWindow, FParent)) {
        // The desktop manager ended and its window took ours with it.
        FParent = 0;
        Reparent(0);
    }
    if (FParent == 0) {
        if (const Platform::TNativeWindow Found = FDesktop.FindProgramManager(); Found != 0) {
            FParent = Found;
            Reparent(Found);
        }
    }
    Position();
}

void TDesktopPlacement::Reparent(Platform::TNativeWindow Parent)
{
    const QPoint Place = MoveOnItsWay().value_or(FDesktop.ScreenPosition(FWindow).value_or(FLastPosition));
    FDesktop.SetParent(FWindow, Parent);
    FDesktop.MoveTo(FWindow, Place);
    FLastPosition = Place;
}

std::optional<QPoint> TDesktopPlacement::MoveOnItsWay()
{
    if (FRequested && std::chrono::steady_clock::now() - FRequestedAt > MoveInFlight)
        FRequested.reset();
    return FRequested;
}

QPoint TDesktopPlacement::Position()
{
    if (const std::optional<QPoint> Seen = FDesktop.ScreenPosition(FWindow)) {
        if (FRequested && *Seen == *FRequested)
            FRequested.reset();
        FLastPosition = *Seen;
    }
    return FLastPosition;
}

QPoint TDesktopPlacement::Target()
{
    const QPoint Seen = Position();
    return MoveOnItsWay().value_or(Seen);
}

void TDesktopPlacement::Move(QPoint Place)
{
    FRequested = Place;
    FRequestedAt = std::chrono::steady_clock::now();
    FDesktop.MoveTo(FWindow, Place);
}

void TDesktopPlacement::SetTop(int Value)
{
    Move(QPoint(Target().x(), Value));
}

void TDesktopPlacement::SetLeft(int Value)
{
    Move(QPoint(Value, Target().y()));
}
