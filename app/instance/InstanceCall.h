#pragma once

#include <QObject>

#include <functional>
#include <memory>
#include <string>

class QLocalServer;

// How a second start tells the running clock that the user asked for it: a
// local socket beside the instance lock, private to the user.
class TInstanceCall : public QObject
{
    Q_OBJECT

public:
    // The running clock answers calls on SocketPath with Called, on its thread's event loop.
    TInstanceCall(const std::string& SocketPath, std::function<void()> Called, QObject* Parent = nullptr);
    ~TInstanceCall() override;

    bool Listening() const;

    // From a second start: true when the running clock took the call within a second.
    static bool Call(const std::string& SocketPath);
    // The socket beside a lock file: the same name, ending in ".socket".
    static std::string SocketPathFor(const std::string& LockPath);

private:
    std::unique_ptr<QLocalServer> FServer;
    std::function<void()> FCalled;
};
