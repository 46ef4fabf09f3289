#pragma once

#include "platform/Notifications.h"

#include <map>
#include <mutex>
#include <set>
#include <vector>

namespace Platform {

// Records the notices; a test plays the user by invoking their actions.
class TFakeNotifications : public TNotifications
{
public:
    TNoticeId Show(const TNotice& Notice, TActionHandler OnAction = {}) override
    {
        std::lock_guard Lock(FLock);
        FShown.push_back(Notice);
        const TNoticeId Id = FShown.size();
        FHandlers[Id] = std::move(OnAction);
        return Id;
    }
    void Close(TNoticeId Notice) override
    {
        std::lock_guard Lock(FLock);
        FClosed.insert(Notice);
        FHandlers.erase(Notice);
    }

    // Every notice shown so far; a notice's id is its place here plus one.
    std::vector<TNotice> Shown() const
    {
        std::lock_guard Lock(FLock);
        return FShown;
    }
    bool IsClosed(TNoticeId Notice) const
    {
        std::lock_guard Lock(FLock);
        return FClosed.count(Notice) != 0;
    }
    // False when the notice is closed or has no handler.
    bool InvokeAction(TNoticeId Notice, const std::string& ActionKey)
    {
        TActionHandler Handler;
        {
            std::lock_guard Lock(FLock);
            const auto Found = FHandlers.find(Notice);
            if (Found == FHandlers.end() || !Found->second)
                return false;
            Handler = Found->second;
        }
        Handler(ActionKey);
        return true;
    }

private:
    mutable std::mutex FLock;
    std::vector<TNotice> FShown;
    std::map<TNoticeId, TActionHandler> FHandlers;
    std::set<TNoticeId> FClosed;
};

} // namespace Platform
