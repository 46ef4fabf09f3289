#include "app/clock/UserInterfaceQueue.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QObject>
#include <QThread>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using namespace std::chrono_literals;

class UserInterfaceQueueTest : public testing::Test
{
protected:
    // Serves this thread's events until Condition holds, at most two seconds.
    template <typename TCondition> bool ServeUntil(TCondition Condition)
    {
        const auto Deadline = std::chrono::steady_clock::now() + 2s;
        while (!Condition()) {
            if (std::chrono::steady_clock::now() > Deadline)
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        return true;
    }

    QObject Context;
    TUserInterfaceQueue Queue{Context};
};

TEST_F(UserInterfaceQueueTest, AWorkersTaskRunsOnTheContextsThreadAndTheWorkerWaitsForIt)
{
    QThread* RanOn = nullptr;
    std::atomic<bool> Returned = false;
    std::atomic<bool> Result = false;
    std::thread Worker([&] {
        Result = Queue.Run([&] { RanOn = QThread::currentThread(); });
        Returned = true;
    });
    std::this_thread::sleep_for(20ms);
    EXPECT_FALSE(Returned) << "waits until the task has run";
    ASSERT_TRUE(ServeUntil([&] { return Returned.load(); }));
    Worker.join();
    EXPECT_TRUE(Result);
    EXPECT_EQ(RanOn, Context.thread());
}

TEST_F(UserInterfaceQueueTest, OnTheContextsOwnThreadATaskRunsAtOnce)
{
    bool Ran = false;
    EXPECT_TRUE(Queue.Run([&] { Ran = true; }));
    EXPECT_TRUE(Ran);
    Queue.Cancel();
    EXPECT_FALSE(Queue.Run([&] { Ran = false; }));
    EXPECT_TRUE(Ran);
}

// The close path: the window's thread joins the worker while the worker waits
// for the window's thread. Cancelling first must free it, every time.
TEST_F(UserInterfaceQueueTest, CancelFreesAWaitingWorkerSoThatAJoinNeverDeadlocks)
{
    for (int Round = 0; Round < 300; ++Round) {
        QObject Window;
        TUserInterfaceQueue Handover(Window);
        std::atomic<int> Ran = 0;
        std::atomic<bool> Waiting = false;
        std::thread Worker([&] {
            for (int Pass = 0; Pass < 1000; ++Pass) {
                Waiting = true;
                if (!Handover.Run([&] { ++Ran; }))
                    return;
            }
        });
        // Sometimes the worker is mid-task, sometimes waiting, sometimes not yet there.
        if (Round % 3 != 0)
            ServeUntil([&] { return Ran >= Round % 5; });
        const auto Started = std::chrono::steady_clock::now();
        Handover.Cancel();
        Worker.join();
        ASSERT_LT(std::chrono::steady_clock::now() - Started, 2s) << "round " << Round;
        const int RanAtCancel = Ran;
        QCoreApplication::processEvents();
        EXPECT_EQ(Ran, RanAtCancel) << "nothing queued runs after the cancel";
    }
}

TEST_F(UserInterfaceQueueTest, PostedWorkRunsLaterUnlessCancelledFirst)
{
    int Ran = 0;
    Queue.Post([&] { ++Ran; });
    EXPECT_EQ(Ran, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(Ran, 1);
    Queue.Post([&] { ++Ran; });
    Queue.Cancel();
    QCoreApplication::processEvents();
    EXPECT_EQ(Ran, 1);
}

} // namespace
