#pragma once

#include "LibraryBinding.h"

#include <cstdint>
#include <QImage>
#include <string>

class THostPopupMenu;

// Binding of images.so.
class TPictureLibrary : public TLibraryBinding
{
public:
    explicit TPictureLibrary(Platform::TLibraryLoader& Loader) : TLibraryBinding(Loader) {}

    // Sets PictureBitmap to a new, empty bitmap and has the library fill it
    // with the picture Name ("MOON", "SURFACE", "DOMO_H", "DOMO_M", "SETUP").
    // It stays empty when the library or export is missing.
    void GetPicture(const std::string& Name);
    QImage& PictureBitmap() { return FPictureBitmap; }

    // Shows (ShowIcon, with the menu and tool tip) or removes (RemoveIcon,
    // no menu, empty tool tip) the tray icon. Menu must live as long as the
    // icon may be shown.
    void SetTaskBarIcon(std::uintptr_t ApplicationWindow, std::int32_t Identifier, std::int32_t Operation,
                        THostPopupMenu* Menu, const std::string& IconName, const std::string& ToolTip);

    static constexpr std::int32_t TaskIconIdentifier = 193;
    static constexpr std::int32_t ShowIcon = 0;
    static constexpr std::int32_t RemoveIcon = 2;

private:
    QImage FPictureBitmap;
};
