#include "WebPopup.h"

#include "HostWindow.h"

#include <memory>
#include <QString>

namespace {
const char* const ExportName = "GetBrowserWin";
}

bool TWebPopup::LoadBrowser()
{
    Bind(ZT_POPUP_LIBRARY, ExportName);
    FBrowserLoaded = EntryPoint() != nullptr;
    return FBrowserLoaded;
}

bool TWebPopup::UnloadBrowser()
{
    FBrowserLoaded = false;
    return Unbind();
}

void TWebPopup::GetBrowserWin(TCompanionWindow* MainWindow, const QString& Link, const QString& Caption,
                              std::int32_t Top, std::int32_t Left, std::int32_t Width, std::int32_t Height,
                              std::int32_t Delay, std::int32_t Style)
{
    if (!FBrowserLoaded || EntryPoint() == nullptr)
        return;
    try {
        std::unique_ptr<THostWindow> Window;
        if (MainWindow != nullptr)
            Window = std::make_unique<THostWindow>(*MainWindow);
        auto* Function = reinterpret_cast<ZTGetBrowserWinFunction*>(EntryPoint());
        // QString's UTF-16 is zero-terminated.
        Function(Window ? Window->Object() : nullptr, Link.utf16(), Caption.utf16(), Top, Left, Width, Height,
                 Delay, Style);
    } catch (...) {
        Fail(ZT_POPUP_LIBRARY, ExportName, std::current_exception());
    }
}
