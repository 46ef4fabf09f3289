#pragma once

#include "HostBitmap.h"
#include "zentavo_companion.h"

#include <memory>
#include <vector>

class TCompanionWindow;

// Lends the main window to a companion library as a ZTWindow for one call.
class THostWindow
{
public:
    explicit THostWindow(TCompanionWindow& Window);
    THostWindow(const THostWindow&) = delete;
    THostWindow& operator=(const THostWindow&) = delete;

    ZTWindow* Object() { return &FBridge.Object; }

private:
    struct TBridge
    {
        ZTWindow Object;
        THostWindow* Owner;
    };
    static THostWindow& From(const ZTWindow* Self);
    static uint8_t SetCaption(ZTWindow* Self, const char* Caption);
    static ZTBitmap* BrushBitmap(ZTWindow* Self);
    static const ZTWindowMethods Methods;

    TBridge FBridge;
    TCompanionWindow& FWindow;
    // Every brush adapter handed out stays valid until the call ends.
    std::vector<std::unique_ptr<THostBitmap>> FBrushes;
};
