#pragma once

#include <cstdint>
#include <QString>
#include <string>
#include <vector>

class QDomElement;
class TCompanionWindow;
class TConfigDocument;
class TGMT_System;

namespace Platform {
struct TServices;
}

// What the services menu reaches of the window.
class TServicesMenuActions
{
public:
    virtual ~TServicesMenuActions() = default;
    virtual TCompanionWindow& CompanionWindow() = 0;
    // Runs the online tasks again in 30 seconds (timer 1).
    virtual void ArmOnlineTimer() = 0;
};

// The services submenu, help and about, and timer 2's restart of the online
// tasks. Every click reads the document as it is now, so a refreshed entry
// takes effect at once. A missing or non-numeric attribute throws
// EConfigError before any window is asked for.
class TServicesMenu
{
public:
    // The menu items' tags.
    static constexpr int ChannelTag = 2;
    static constexpr int ForecastTag = 3;
    static constexpr int HelpTag = 5;

    TServicesMenu(TConfigDocument& Document, TGMT_System& System, Platform::TServices& Services,
                  TServicesMenuActions& Actions);

    // The item with Tag and (for service items) Name was clicked.
    void MenuServices(int Tag, const std::string& Name);
    void AboutUs();
    void TimerPopUp();

    // A service item of the submenu: its name, hint and caption.
    struct TServiceEntry
    {
        std::string Id;
        std::string Link;
        std::string Caption;
    };
    // One item per child of zentavo/services, in document order; a child
    // without "id", "link" or "caption", or whose id is no identifier
    // (letters, digits, "_", not starting with a digit), has none.
    static std::vector<TServiceEntry> ServiceEntries(TConfigDocument& Document);

    // A web window as the popup library is asked for it.
    struct TWebWindow
    {
        QString Link;
        QString Caption;
        std::int32_t Top = 0;
        std::int32_t Left = 0;
        std::int32_t Width = 0;
        std::int32_t Height = 0;
        std::int32_t Delay = 0;
        std::int32_t Style = 0;
    };
    // Link and caption as the code page keeps them, and all six integers.
    static TWebWindow ServiceWindow(const QDomElement& Element);
    // Link and caption as written, the five integers as 16-bit signed values, style 0.
    static TWebWindow AboutWindow(const QDomElement& Element);

private:
    void ShowWebWindow(const TWebWindow& Window, TCompanionWindow* MainWindow);

    TConfigDocument& FDocument;
    TGMT_System& FSystem;
    Platform::TServices& FServices;
    TServicesMenuActions& FActions;
};
