#pragma once

#include "platform/WindowShape.h"

#include <QImage>
#include <vector>

namespace Platform {

// Records what the window was asked to show and how opaque to be.
class TFakeWindowShape : public TWindowShape
{
public:
    struct TColorKey
    {
        QWidget* Window = nullptr;
        QImage Frame;
        unsigned KeyRgb = 0;
    };
    struct TOpacity
    {
        QWidget* Window = nullptr;
        int Alpha = 0;
    };

    void ApplyColorKey(QWidget& Window, const QImage& Frame, unsigned KeyRgb) override
    {
        FColorKeys.push_back({&Window, Frame, KeyRgb});
    }
    void SetOpacity(QWidget& Window, int Alpha) override { FOpacities.push_back({&Window, Alpha}); }

    const std::vector<TColorKey>& ColorKeys() const { return FColorKeys; }
    const std::vector<TOpacity>& Opacities() const { return FOpacities; }

private:
    std::vector<TColorKey> FColorKeys;
    std::vector<TOpacity> FOpacities;
};

} // namespace Platform
