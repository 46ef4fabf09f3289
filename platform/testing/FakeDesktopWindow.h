#pragma once

#include "platform/DesktopWindow.h"

#include <vector>

namespace Platform {

// A desktop window that exists only when the test says so; records SetParent.
class TFakeDesktopWindow : public TDesktopWindow
{
public:
    struct TCall
    {
        QWidget* Window = nullptr;
        TNativeWindow Parent = 0;
    };

    void SetProgramManager(TNativeWindow Window) { FProgramManager = Window; }
    TNativeWindow FindProgramManager() override { return FProgramManager; }
    void SetParent(QWidget& Window, TNativeWindow Parent) override { FCalls.push_back({&Window, Parent}); }

    const std::vector<TCall>& Calls() const { return FCalls; }

private:
    TNativeWindow FProgramManager = 0;
    std::vector<TCall> FCalls;
};

} // namespace Platform
