#include "DBusNotifications.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QThread>
#include <QUrl>
#include <QVariantMap>

#include <sys/stat.h>

#include <cstdlib>

namespace Platform {

namespace {

const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");
const QString Interface = QStringLiteral("org.freedesktop.Notifications");
// A server that does not answer within this is treated as none.
constexpr int ReplyTimeout = 5000;

uchar UrgencyLevel(TNotice::TUrgency Urgency)
{
    switch (Urgency) {
    case TNotice::TUrgency::Low:
        return 0;
    case TNotice::TUrgency::Critical:
        return 2;
    case TNotice::TUrgency::Normal:
        break;
    }
    return 1;
}

} // namespace

TDBusNotifications::TDBusNotifications()
    : FConnectionName(
          QStringLiteral("zentavo-notifications-%1").arg(reinterpret_cast<quintptr>(this), 0, 16)),
      FConnection(FConnectionName)
{}

TDBusNotifications::~TDBusNotifications()
{
    // Made for the whole process, this may go after the application: Qt's bus is gone by then.
    if (FBusState == TBusState::Connected && QCoreApplication::instance() != nullptr)
        QDBusConnection::disconnectFromBus(FConnectionName);
}

std::string TDBusNotifications::SessionBusAddress()
{
    const char* Address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (Address != nullptr && *Address != '\0')
        return Address;
    const char* RuntimeFolder = std::getenv("XDG_RUNTIME_DIR");
    if (RuntimeFolder == nullptr || *RuntimeFolder == '\0')
        return {};
    const std::string Socket = std::string(RuntimeFolder) + "/bus";
    struct stat Status
    {
    };
    if (::stat(Socket.c_str(), &Status) != 0 || !S_ISSOCK(Status.st_mode))
        return {};
    return "unix:path=" + Socket;
}

TNotifications::TNoticeId TDBusNotifications::Show(const TNotice& Notice, TActionHandler OnAction)
{
    const TNoticeId Id = ++FLastId;
    {
        std::lock_guard Lock(FLock);
        if (FBusState == TBusState::Unavailable)
            return Id;
        FShown[Id].OnAction = std::move(OnAction);
    }
    if (QThread::currentThread() == thread())
        Send(Id, Notice);
    else
        QMetaObject::invokeMethod(
            this, [this, Id, Notice] { Send(Id, Notice); }, Qt::QueuedConnection);
    return Id;
}

void TDBusNotifications::Close(TNoticeId Notice)
{
    std::unique_lock Lock(FLock);
    const auto Shown = FShown.find(Notice);
    if (Shown == FShown.end())
        return;
    if (Shown->second.ServerId == 0) {
        // Still on its way: closed as soon as the server names it.
        Shown->second.CloseWanted = true;
        Shown->second.OnAction = nullptr;
        return;
    }
    const uint ServerId = Shown->second.ServerId;
    FShown.erase(Shown);
    const QDBusConnection Connection = FConnection;
    Lock.unlock();
    SendClose(Connection, ServerId);
}

bool TDBusNotifications::Connect()
{
    std::lock_guard Lock(FLock);
    if (FBusState != TBusState::Untried)
        return FBusState == TBusState::Connected;
    FBusState = TBusState::Unavailable;
    const std::string Address = SessionBusAddress();
    if (Address.empty()) {
        FShown.clear();
        return false;
    }
    QDBusConnection Connection =
        QDBusConnection::connectToBus(QString::fromStdString(Address), FConnectionName);
    if (!Connection.isConnected()) {
        QDBusConnection::disconnectFromBus(FConnectionName);
        FShown.clear();
        return false;
    }
    // clang-format off
    Connection.connect(Service, Path, Interface, QStringLiteral("ActionInvoked"), this,
                       SLOT(ActionInvoked(uint,QString)));
    Connection.connect(Service, Path, Interface, QStringLiteral("NotificationClosed"), this,
                       SLOT(NotificationClosed(uint,uint)));
    // clang-format on
    FConnection = Connection;
    FBusState = TBusState::Connected;
    return true;
}

void TDBusNotifications::Send(TNoticeId Id, const TNotice& Notice)
{
    if (!Connect())
        return;
    QStringList Actions;
    for (const TNotice::TAction& Action : Notice.Actions)
        Actions << QString::fromStdString(Action.Key) << QString::fromStdString(Action.Label);
    QString Icon = QString::fromStdString(Notice.Icon);
    if (Icon.startsWith(QLatin1Char('/')))
        Icon = QUrl::fromLocalFile(Icon).toString(QUrl::FullyEncoded);
    QVariantMap Hints;
    Hints.insert(QStringLiteral("urgency"), QVariant::fromValue(UrgencyLevel(Notice.Urgency)));
    QDBusMessage Message = QDBusMessage::createMethodCall(Service, Path, Interface, QStringLiteral("Notify"));
    Message << QStringLiteral("Zentavo 3D") << uint(0) << Icon << QString::fromStdString(Notice.Summary)
            << QString::fromStdString(Notice.Body) << Actions << Hints << int(Notice.Persistent ? 0 : -1);
    const QDBusPendingCall Call = FConnection.asyncCall(Message, ReplyTimeout);
    auto* Watcher = new QDBusPendingCallWatcher(Call, this);
    connect(Watcher, &QDBusPendingCallWatcher::finished, this, [this, Id](QDBusPendingCallWatcher* Finished) {
        Finished->deleteLater();
        const QDBusPendingReply<uint> Reply = *Finished;
        std::unique_lock Lock(FLock);
        const auto Shown = FShown.find(Id);
        if (Shown == FShown.end())
            return;
        // No server, or one that refused: the notice just is not there.
        if (Reply.isError() || Reply.value() == 0) {
            FShown.erase(Shown);
            return;
        }
        Shown->second.ServerId = Reply.value();
        if (!Shown->second.CloseWanted)
            return;
        const uint ServerId = Shown->second.ServerId;
        FShown.erase(Shown);
        Lock.unlock();
        SendClose(FConnection, ServerId);
    });
}

void TDBusNotifications::SendClose(const QDBusConnection& Connection, uint ServerId)
{
    QDBusMessage Message =
        QDBusMessage::createMethodCall(Service, Path, Interface, QStringLiteral("CloseNotification"));
    Message << ServerId;
    Connection.send(Message);
}

void TDBusNotifications::ActionInvoked(uint ServerId, const QString& ActionKey)
{
    TActionHandler Handler;
    {
        std::lock_guard Lock(FLock);
        for (const auto& [Id, Shown] : FShown)
            if (Shown.ServerId == ServerId) {
                Handler = Shown.OnAction;
                break;
            }
    }
    if (Handler)
        Handler(ActionKey.toStdString());
}

void TDBusNotifications::NotificationClosed(uint ServerId, uint)
{
    std::lock_guard Lock(FLock);
    for (auto Shown = FShown.begin(); Shown != FShown.end(); ++Shown)
        if (Shown->second.ServerId == ServerId) {
            FShown.erase(Shown);
            return;
        }
}

} // namespace Platform
