#pragma once

#include <cstdint>
#include <string>

class QImage;
class TCompanionWindow;

// What the weather step changes: the main window, as the weather library
// sees it, and the globe's sprite and heads-up line.
class TWeatherView
{
public:
    virtual ~TWeatherView() = default;
    virtual TCompanionWindow& CompanionWindow() = 0;
    virtual std::uintptr_t ApplicationWindow() = 0;
    // Attaches Bitmap as the brush pattern of the window's canvas; null detaches.
    virtual void AttachBrush(QImage* Bitmap) = 0;
    // The window's caption, where the weather library leaves its text (UTF-8).
    virtual std::string Caption() const = 0;
    virtual void BeginChanges() = 0;
    virtual void EndChanges() = 0;
    // UTF-8; the heads-up font shows what the Western code page has of it.
    virtual void SetHUDText(const std::string& Text) = 0;
    // The weather sprite's picture; an empty one leaves the sprite blank.
    // Throws when the picture cannot be taken.
    virtual void SetWeatherPicture(const QImage& Picture) = 0;
    virtual void ResetFrameStats() = 0;
};
