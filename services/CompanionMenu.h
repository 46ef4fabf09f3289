#pragma once

// The clock's main popup menu as the tray icon of the pictures library sees
// it; the main window implements it.
class TCompanionMenu
{
public:
    virtual ~TCompanionMenu() = default;
    // Pops the menu up with its top-left corner at the screen point X, Y. The
    // tray icon may call this from a thread of its own, so an implementation
    // hands the work to the user-interface thread.
    virtual void Popup(int X, int Y) = 0;
};
