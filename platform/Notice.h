#pragma once

#include <string>
#include <vector>

namespace Platform {

// One desktop notification as the program words it.
struct TNotice
{
    enum class TUrgency
    {
        Low,
        Normal,
        Critical,
    };
    struct TAction
    {
        std::string Key;
        std::string Label;
    };

    std::string Summary;
    std::string Body;
    // A picture file, or an icon name of the desktop's theme; empty: the desktop's choice.
    std::string Icon;
    TUrgency Urgency = TUrgency::Normal;
    // Stays until closed, by the user or by the program.
    bool Persistent = false;
    std::vector<TAction> Actions;
};

} // namespace Platform
