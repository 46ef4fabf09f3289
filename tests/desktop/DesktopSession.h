#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <string>

// A desktop of the test's own: an Xvfb server on a free display, a session
// bus, a real window manager and, on request, a real desktop manager, with
// HOME and the XDG folders in a scratch folder. While it lives, DISPLAY in
// this process names its server.
class TDesktopSession
{
public:
    // WindowManager: "openbox" (desktop manager pcmanfm), "xfwm4" (xfdesktop),
    // or, for runs by hand where they are installed, "mutter" and "kwin_x11" (pcmanfm).
    explicit TDesktopSession(std::string WindowManager);
    ~TDesktopSession();
    TDesktopSession(const TDesktopSession&) = delete;
    TDesktopSession& operator=(const TDesktopSession&) = delete;

    bool Start();
    const std::string& Failure() const { return FFailure; }
    const std::string& Folder() const { return FFolder; }
    // For the programs the test starts on this desktop.
    QProcessEnvironment Environment() const;

    bool StartDesktopManager();
    // As a crash or a logout would end it: its windows go at once.
    void KillDesktopManager();
    bool DesktopManagerRunning() const { return FDesktopManager.state() != QProcess::NotRunning; }

    // Runs a tool such as wmctrl on this desktop; true when it exited 0.
    bool Run(const QString& Program, const QStringList& Arguments);

private:
    bool StartServer();
    bool StartBus();

    std::string FWindowManagerName;
    std::string FFolder;
    std::string FFailure;
    std::string FDisplay;
    std::string FBusAddress;
    QProcess FServer;
    QProcess FBus;
    QProcess FWindowManager;
    QProcess FDesktopManager;
};
