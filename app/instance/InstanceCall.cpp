#include "InstanceCall.h"

#include <QLocalServer>
#include <QLocalSocket>

#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

constexpr int CallTimeout = 1000; // milliseconds
const QByteArray CallMessage = "show\n";

} // namespace

TInstanceCall::TInstanceCall(const std::string& SocketPath, std::function<void()> Called, QObject* Parent)
    : QObject(Parent), FServer(std::make_unique<QLocalServer>()), FCalled(std::move(Called))
{
    const QString Path = QString::fromStdString(SocketPath);
    // Only the holder of the instance lock gets here, so a socket left behind is a dead clock's.
    QLocalServer::removeServer(Path);
    FServer->setSocketOptions(QLocalServer::UserAccessOption);
    if (!FServer->listen(Path))
        return;
    connect(FServer.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* Caller = FServer->nextPendingConnection()) {
            connect(Caller, &QLocalSocket::disconnected, Caller, &QObject::deleteLater);
            connect(Caller, &QLocalSocket::readyRead, this, [this, Caller] {
                if (!Caller->readAll().contains(CallMessage))
                    return;
                Caller->disconnectFromServer();
                if (FCalled)
                    FCalled();
            });
        }
    });
}

TInstanceCall::~TInstanceCall() = default;

bool TInstanceCall::Listening() const
{
    return FServer->isListening();
}

bool TInstanceCall::Call(const std::string& SocketPath)
{
    // A plain socket: the second start has no application object, and needs none.
    sockaddr_un Address{};
    Address.sun_family = AF_UNIX;
    if (SocketPath.size() >= sizeof Address.sun_path)
        return false;
    std::memcpy(Address.sun_path, SocketPath.c_str(), SocketPath.size() + 1);
    const int Socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (Socket < 0)
        return false;
    bool Taken =
        ::connect(Socket, reinterpret_cast<const sockaddr*>(&Address), sizeof Address) == 0 &&
        ::send(Socket, CallMessage.constData(), CallMessage.size(), MSG_NOSIGNAL) == CallMessage.size();
    // The clock hangs up once it took the call.
    if (Taken) {
        pollfd Wait{Socket, POLLIN, 0};
        char Byte = 0;
        Taken = ::poll(&Wait, 1, CallTimeout) == 1 && ::recv(Socket, &Byte, 1, 0) == 0;
    }
    ::close(Socket);
    return Taken;
}

std::string TInstanceCall::SocketPathFor(const std::string& LockPath)
{
    const std::string Suffix = ".lock";
    const bool HasSuffix = LockPath.size() >= Suffix.size() &&
                           LockPath.compare(LockPath.size() - Suffix.size(), Suffix.size(), Suffix) == 0;
    return (HasSuffix ? LockPath.substr(0, LockPath.size() - Suffix.size()) : LockPath) + ".socket";
}
