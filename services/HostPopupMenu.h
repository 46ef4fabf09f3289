#pragma once

#include "zentavo_companion.h"

class TCompanionMenu;

// Lends the main popup menu to the pictures library as a ZTPopupMenu. Unlike
// the other host objects it outlives the call: the tray icon keeps it, so the
// owner of the menu keeps this adapter as long as the menu lives.
class THostPopupMenu
{
public:
    explicit THostPopupMenu(TCompanionMenu& Menu);
    THostPopupMenu(const THostPopupMenu&) = delete;
    THostPopupMenu& operator=(const THostPopupMenu&) = delete;

    ZTPopupMenu* Object() { return &FBridge.Object; }

private:
    struct TBridge
    {
        ZTPopupMenu Object;
        THostPopupMenu* Owner;
    };
    static uint8_t Popup(ZTPopupMenu* Self, int32_t X, int32_t Y);
    static const ZTPopupMenuMethods Methods;

    TBridge FBridge;
    TCompanionMenu& FMenu;
};
