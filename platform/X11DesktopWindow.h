#pragma once

#include "DesktopWindow.h"

#include <memory>
#include <set>

namespace Platform {

// The desktop window of an X11 session: the top-level window of type
// _NET_WM_WINDOW_TYPE_DESKTOP, or else one titled "Program Manager". Without
// one, the clock is a desktop-typed window of its own: window managers keep
// such windows below the others, on every workspace, out of task bars and
// window switchers, and leave them in place for Show Desktop. Without an X
// display (other Qt platforms) there is no desktop window, and the window
// only gets the flags Qt knows.
class TX11DesktopWindow : public TDesktopWindow
{
public:
    TX11DesktopWindow();
    ~TX11DesktopWindow() override;

    TNativeWindow FindProgramManager() override;
    void SetParent(QWidget& Window, TNativeWindow Parent) override;
    bool IsInside(const QWidget& Window, TNativeWindow Parent) override;
    std::optional<QPoint> ScreenPosition(const QWidget& Window) override;
    void MoveTo(QWidget& Window, QPoint Position) override;
    void SetOnDesktopChange(std::function<void()> Handler) override;

private:
    class TEventWatch;
    void Watch(QWidget& Window, TNativeWindow Parent);

    std::unique_ptr<TEventWatch> FEvents;
    std::set<TNativeWindow> FOrdinaryClients;
    std::function<void()> FOnDesktopChange;
};

} // namespace Platform
