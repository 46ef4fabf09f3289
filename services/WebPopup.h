#pragma once

#include "LibraryBinding.h"

#include <cstdint>

class QString;
class TCompanionWindow;

// Binding of popup.so, the one library that stays loaded across calls: from
// LoadBrowser to UnloadBrowser around one web window.
class TWebPopup : public TLibraryBinding
{
public:
    explicit TWebPopup(Platform::TLibraryLoader& Loader) : TLibraryBinding(Loader) {}

    // Loads the library and resolves GetBrowserWin; returns BrowserLoaded.
    bool LoadBrowser();
    // Forgets the entry point and releases the library; false when no
    // library was loaded.
    bool UnloadBrowser();
    bool BrowserLoaded() const { return FBrowserLoaded; }

    // Shows the web window (MainWindow null for the about window). Does
    // nothing unless LoadBrowser succeeded.
    void GetBrowserWin(TCompanionWindow* MainWindow, const QString& Link, const QString& Caption,
                       std::int32_t Top, std::int32_t Left, std::int32_t Width, std::int32_t Height,
                       std::int32_t Delay, std::int32_t Style);

private:
    bool FBrowserLoaded = false;
};
