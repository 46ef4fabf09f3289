#pragma once

#include <functional>
#include <memory>

class QObject;

// Hands work from the worker to the thread of a Qt object and waits for it,
// without ever holding up that thread's own shutdown: once cancelled, every
// wait ends at once and nothing queued runs any more.
class TUserInterfaceQueue
{
public:
    explicit TUserInterfaceQueue(QObject& Context);
    ~TUserInterfaceQueue();
    TUserInterfaceQueue(const TUserInterfaceQueue&) = delete;
    TUserInterfaceQueue& operator=(const TUserInterfaceQueue&) = delete;

    // Runs Task on the context's thread and returns when it has run: at once
    // when called on that thread. False, with Task not run, after Cancel.
    bool Run(std::function<void()> Task);
    // Runs Task on the context's thread later, unless cancelled first.
    void Post(std::function<void()> Task);
    void Cancel();
    bool Cancelled() const;

private:
    struct TState;
    QObject& FContext;
    std::shared_ptr<TState> FState;
};
