#pragma once

#include "Notifications.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <atomic>
#include <map>
#include <mutex>
#include <string>

namespace Platform {

// Notices through the desktop's notification server (org.freedesktop.Notifications
// on the session bus). The object belongs to the thread that made it: the
// requests go out from there and the actions come back there.
class TDBusNotifications : public QObject, public TNotifications
{
    Q_OBJECT

public:
    TDBusNotifications();
    ~TDBusNotifications() override;
    TDBusNotifications(const TDBusNotifications&) = delete;
    TDBusNotifications& operator=(const TDBusNotifications&) = delete;

    TNoticeId Show(const TNotice& Notice, TActionHandler OnAction = {}) override;
    void Close(TNoticeId Notice) override;

    // DBUS_SESSION_BUS_ADDRESS, else the user's bus in XDG_RUNTIME_DIR, else
    // empty: no bus is ever started for a notice.
    static std::string SessionBusAddress();

private slots:
    void ActionInvoked(uint ServerId, const QString& ActionKey);
    void NotificationClosed(uint ServerId, uint Reason);

private:
    struct TShown
    {
        uint ServerId = 0; // 0 until the server answered
        bool CloseWanted = false;
        TActionHandler OnAction;
    };
    enum class TBusState
    {
        Untried,
        Connected,
        Unavailable,
    };

    bool Connect();
    void Send(TNoticeId Id, const TNotice& Notice);
    void SendClose(const QDBusConnection& Connection, uint ServerId);

    const QString FConnectionName;
    std::atomic<TNoticeId> FLastId = 0;
    std::mutex FLock; // the notices and the connection: Close may come from any thread
    std::map<TNoticeId, TShown> FShown;
    TBusState FBusState = TBusState::Untried;
    QDBusConnection FConnection;
};

} // namespace Platform
