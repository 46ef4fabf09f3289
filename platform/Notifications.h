#pragma once

#include "Notice.h"

#include <cstdint>
#include <functional>
#include <string>

namespace Platform {

// The desktop's notifications. Where the desktop has none every call does
// nothing, silently: a notice is a courtesy, never a condition.
class TNotifications
{
public:
    // Ours, not the desktop's; 0 is never a notice.
    using TNoticeId = std::uint64_t;
    using TActionHandler = std::function<void(const std::string& ActionKey)>;

    virtual ~TNotifications() = default;
    // Shows the notice and returns at once, from any thread. OnAction runs on
    // the thread that made the service (the window's) when the user picks
    // one of the notice's actions.
    virtual TNoticeId Show(const TNotice& Notice, TActionHandler OnAction = {}) = 0;
    // Takes the notice off the desktop, from any thread; its actions no longer run.
    virtual void Close(TNoticeId Notice) = 0;
};

} // namespace Platform
