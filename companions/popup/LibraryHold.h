#pragma once

// Keeps popup.so loaded while its popup program runs: the clock releases
// the library as soon as GetBrowserWin returns.
//
// The last release cannot simply call dlclose: the code that called it would
// be unmapped under its own feet. It hands dlclose with the handle to the
// GLib main loop that runs Qt's events, which calls it directly, with no code
// of this library left on the stack. Where Qt's loop is not GLib's the
// library stays loaded (and says so through IsReleasable()).
class TLibraryHold
{
public:
    static void Acquire();
    static void Release();
    static int Count();
    static bool IsReleasable();
};
