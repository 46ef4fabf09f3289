#pragma once

#include "platform/DesktopWindow.h"

#include <QWidget>

#include <vector>

namespace Platform {

// A desktop whose desktop window exists only when the test says so. The
// window's place is kept here as a display server would keep it; a desktop
// window that goes takes the clock's native window with it.
class TFakeDesktopWindow : public TDesktopWindow
{
public:
    struct TCall
    {
        QWidget* Window = nullptr;
        TNativeWindow Parent = 0;
    };

    void SetProgramManager(TNativeWindow Window) { FProgramManager = Window; }
    // The desktop manager ends: its window and every child of it are gone.
    void DestroyProgramManager()
    {
        if (FParent != 0 && FParent == FProgramManager)
            FWindowLost = true;
        FProgramManager = 0;
        Notify();
    }
    void Notify()
    {
        if (FOnDesktopChange)
            FOnDesktopChange();
    }

    TNativeWindow FindProgramManager() override { return FProgramManager; }
    void SetParent(QWidget& Window, TNativeWindow Parent) override
    {
        FWindow = &Window;
        FCalls.push_back({&Window, Parent});
        FParent = Parent;
        FWindowLost = false;
    }
    bool IsInside(const QWidget&, TNativeWindow Parent) override { return !FWindowLost && FParent == Parent; }
    // The widget's own place stands for the display's.
    std::optional<QPoint> ScreenPosition(const QWidget& Window) override
    {
        if (FWindowLost)
            return std::nullopt;
        return Window.pos();
    }
    void MoveTo(QWidget& Window, QPoint Position) override
    {
        FWindow = &Window;
        FMoves.push_back(Position);
        if (!FWindowLost && !FMovesDelayed)
            Window.move(Position);
    }
    void SetOnDesktopChange(std::function<void()> Handler) override { FOnDesktopChange = std::move(Handler); }

    // Moves reach the display only when SetPosition says so, as under a busy window manager.
    void SetMovesDelayed(bool Value) { FMovesDelayed = Value; }
    // A window manager moved the window, or placed it elsewhere than asked.
    void SetPosition(QPoint Position)
    {
        if (FWindow != nullptr)
            FWindow->move(Position);
    }
    const std::vector<TCall>& Calls() const { return FCalls; }
    const std::vector<QPoint>& Moves() const { return FMoves; }
    TNativeWindow Parent() const { return FParent; }
    bool WindowLost() const { return FWindowLost; }

private:
    TNativeWindow FProgramManager = 0;
    TNativeWindow FParent = 0;
    bool FWindowLost = false;
    bool FMovesDelayed = false;
    QWidget* FWindow = nullptr;
    std::vector<TCall> FCalls;
    std::vector<QPoint> FMoves;
    std::function<void()> FOnDesktopChange;
};

} // namespace Platform
