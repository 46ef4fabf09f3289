#include "UserInterfaceQueue.h"

#include <QMetaObject>
#include <QObject>
#include <QThread>

#include <condition_variable>
#include <mutex>

// Shared with the queued calls, which may outlive the queue's owner's wait.
struct TUserInterfaceQueue::TState
{
    std::mutex Lock;
    std::condition_variable Changed;
    bool Cancelled = false;
};

namespace {
struct TItem
{
    std::function<void()> Task;
    bool Started = false;
    bool Done = false;
};
} // namespace

TUserInterfaceQueue::TUserInterfaceQueue(QObject& Context)
    : FContext(Context), FState(std::make_shared<TState>())
{}

TUserInterfaceQueue::~TUserInterfaceQueue()
{
    Cancel();
}

bool TUserInterfaceQueue::Run(std::function<void()> Task)
{
    if (QThread::currentThread() == FContext.thread()) {
        if (Cancelled())
            return false;
        Task();
        return true;
    }
    auto Item = std::make_shared<TItem>();
    Item->Task = std::move(Task);
    std::shared_ptr<TState> State = FState;
    {
        std::lock_guard Lock(State->Lock);
        if (State->Cancelled)
            return false;
    }
    QMetaObject::invokeMethod(
        &FContext,
        [State, Item] {
            {
                std::lock_guard Lock(State->Lock);
                if (State->Cancelled) {
                    Item->Done = true;
                    State->Changed.notify_all();
                    return;
                }
                Item->Started = true;
            }
            // Whatever the task does, the worker must hear that it ended.
            struct TDone
            {
                TState& State;
                TItem& Item;
                ~TDone()
                {
                    std::lock_guard Lock(State.Lock);
                    Item.Done = true;
                    State.Changed.notify_all();
                }
            } Done{*State, *Item};
            Item->Task();
        },
        Qt::QueuedConnection);
    std::unique_lock Lock(State->Lock);
    // Cancel comes from the context's thread, so a started task finishes before it.
    State->Changed.wait(Lock, [&] { return Item->Done || (State->Cancelled && !Item->Started); });
    return Item->Started && Item->Done;
}

void TUserInterfaceQueue::Post(std::function<void()> Task)
{
    std::shared_ptr<TState> State = FState;
    QMetaObject::invokeMethod(
        &FContext,
        [State, Task = std::move(Task)] {
            {
                std::lock_guard Lock(State->Lock);
                if (State->Cancelled)
                    return;
            }
            Task();
        },
        Qt::QueuedConnection);
}

void TUserInterfaceQueue::Cancel()
{
    std::lock_guard Lock(FState->Lock);
    FState->Cancelled = true;
    FState->Changed.notify_all();
}

bool TUserInterfaceQueue::Cancelled() const
{
    std::lock_guard Lock(FState->Lock);
    return FState->Cancelled;
}
