#pragma once

#include <QObject>

#include <map>
#include <string>

class QTimer;

// Numbered timers whose handlers are named by text: a name is looked up among
// the owner's published slots without regard to letter case; a name that
// matches none arms a timer that does nothing when it elapses.
class TWindowTimers
{
public:
    explicit TWindowTimers(QObject& Owner);

    // Arming an id again replaces its interval and handler and restarts its count.
    unsigned Arm(unsigned Id, unsigned Interval, const std::string& Name);
    void Kill(unsigned Id);
    void KillAll();
    bool IsArmed(unsigned Id) const;
    // -1 for an id never armed.
    int Interval(unsigned Id) const;

private:
    QObject& FOwner;
    std::map<unsigned, QTimer*> FTimers; // children of the owner
};
