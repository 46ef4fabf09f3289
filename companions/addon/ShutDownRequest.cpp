#include "ShutDownRequest.h"

#include <systemd/sd-bus.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <string>

namespace AddOn {

namespace {

constexpr std::uint64_t QuestionTimeout = 2 * 1000 * 1000;
// The session may show its own dialog, and polkit may ask the user, before
// they answer.
constexpr std::uint64_t RequestTimeout = 60ull * 1000 * 1000;

class TBus
{
public:
    explicit TBus(bool System)
    {
        if ((System ? sd_bus_open_system(&FBus) : sd_bus_open_user(&FBus)) < 0)
            FBus = nullptr;
        else
            sd_bus_set_allow_interactive_authorization(FBus, 1);
    }
    ~TBus()
    {
        if (FBus)
            sd_bus_close_unref(FBus); // no flush: it would wait for a hung daemon
    }
    TBus(const TBus&) = delete;
    TBus& operator=(const TBus&) = delete;

    // Calls Method with the arguments of Signature; the reply, for the caller
    // to release, or null. Never starts a service that is not running.
    template <typename... TArguments>
    sd_bus_message* Call(const char* Destination, const char* Path, const char* Interface, const char* Method,
                         std::uint64_t Timeout, const char* Signature, TArguments... Arguments)
    {
        if (!FBus || !FResponsive)
            return nullptr;
        sd_bus_message* Message = nullptr;
        if (sd_bus_message_new_method_call(FBus, &Message, Destination, Path, Interface, Method) < 0)
            return nullptr;
        sd_bus_message* Reply = nullptr;
        if (sd_bus_message_set_auto_start(Message, 0) >= 0 &&
            (!Signature || sd_bus_message_append(Message, Signature, Arguments...) >= 0))
            Reply = Wait(Message, Timeout);
        sd_bus_message_unref(Message);
        return Reply;
    }

    bool Accepted(sd_bus_message* Reply)
    {
        sd_bus_message_unref(Reply);
        return Reply != nullptr;
    }

    bool HasOwner(const char* Name)
    {
        sd_bus_message* Reply = Call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                                     "NameHasOwner", QuestionTimeout, "s", Name);
        int Owned = 0;
        const bool Read = Reply && sd_bus_message_read(Reply, "b", &Owned) >= 0;
        sd_bus_message_unref(Reply);
        return Read && Owned;
    }

    // A method answering one Boolean; false when it cannot be asked.
    bool Yes(const char* Destination, const char* Path, const char* Interface, const char* Method)
    {
        sd_bus_message* Reply = Call(Destination, Path, Interface, Method, QuestionTimeout, nullptr);
        int Value = 0;
        const bool Read = Reply && sd_bus_message_read(Reply, "b", &Value) >= 0;
        sd_bus_message_unref(Reply);
        return Read && Value;
    }

private:
    // On a deadline of our own: sd_bus_call would wait out the whole
    // authentication timeout of a bus daemon that accepts and never speaks.
    sd_bus_message* Wait(sd_bus_message* Message, std::uint64_t Timeout)
    {
        struct TPending
        {
            bool Done = false;
            sd_bus_message* Reply = nullptr;
        } Pending;
        auto Answered = [](sd_bus_message* Reply, void* Context, sd_bus_error*) -> int {
            auto& Waiting = *static_cast<TPending*>(Context);
            Waiting.Done = true;
            if (!sd_bus_message_is_method_error(Reply, nullptr))
                Waiting.Reply = sd_bus_message_ref(Reply);
            return 1;
        };
        sd_bus_slot* Slot = nullptr;
        if (sd_bus_call_async(FBus, &Slot, Message, Answered, &Pending, Timeout) < 0)
            return nullptr;
        const auto Deadline = std::chrono::steady_clock::now() + std::chrono::microseconds(Timeout);
        while (!Pending.Done) {
            const auto Left = std::chrono::duration_cast<std::chrono::microseconds>(
                Deadline - std::chrono::steady_clock::now());
            if (Left.count() <= 0)
                break;
            const int Processed = sd_bus_process(FBus, nullptr);
            if (Processed < 0 ||
                (Processed == 0 && sd_bus_wait(FBus, static_cast<std::uint64_t>(Left.count())) < 0))
                break;
        }
        sd_bus_slot_unref(Slot);
        // One silence is enough: the other questions would each wait as long.
        FResponsive = Pending.Done;
        return Pending.Reply;
    }

    sd_bus* FBus = nullptr;
    bool FResponsive = true;
};

// The session managers whose shutdown asks the session's programs first,
// most common first: GNOME's (also MATE's and Cinnamon's name), Plasma's
// (5.25 on, then the older session server's logout with "halt"), Xfce's.
TShutDownRoute SessionShutDown()
{
    TBus Session(false);
    if (Session.HasOwner("org.gnome.SessionManager") &&
        Session.Yes("org.gnome.SessionManager", "/org/gnome/SessionManager", "org.gnome.SessionManager",
                    "CanShutdown") &&
        Session.Accepted(Session.Call("org.gnome.SessionManager", "/org/gnome/SessionManager",
                                      "org.gnome.SessionManager", "Shutdown", RequestTimeout, nullptr)))
        return TShutDownRoute::GnomeSession;
    if (Session.HasOwner("org.kde.Shutdown") &&
        Session.Accepted(Session.Call("org.kde.Shutdown", "/Shutdown", "org.kde.Shutdown",
                                      "logoutAndShutdown", RequestTimeout, nullptr)))
        return TShutDownRoute::KdeShutdown;
    // logout(confirm: no, type: halt, mode: now)
    if (Session.HasOwner("org.kde.ksmserver") &&
        Session.Accepted(Session.Call("org.kde.ksmserver", "/KSMServer", "org.kde.KSMServerInterface",
                                      "logout", RequestTimeout, "iii", 0, 2, 2)))
        return TShutDownRoute::KdeSessionServer;
    if (Session.HasOwner("org.xfce.SessionManager") &&
        Session.Yes("org.xfce.SessionManager", "/org/xfce/SessionManager", "org.xfce.Session.Manager",
                    "CanShutdown") &&
        Session.Accepted(Session.Call("org.xfce.SessionManager", "/org/xfce/SessionManager",
                                      "org.xfce.Session.Manager", "Shutdown", RequestTimeout, "b", 1)))
        return TShutDownRoute::XfceSession;
    return TShutDownRoute::Refused;
}

TShutDownRoute LogindShutDown()
{
    TBus System(true);
    sd_bus_message* Reply =
        System.Call("org.freedesktop.login1", "/org/freedesktop/login1", "org.freedesktop.login1.Manager",
                    "CanPowerOff", QuestionTimeout, nullptr);
    const char* Answer = nullptr;
    const bool Read = Reply && sd_bus_message_read(Reply, "s", &Answer) >= 0 && Answer;
    // "challenge": allowed once the user authorises it, which interaction lets polkit ask.
    const bool May = Read && (std::strcmp(Answer, "yes") == 0 || std::strcmp(Answer, "challenge") == 0);
    sd_bus_message_unref(Reply);
    if (May &&
        System.Accepted(System.Call("org.freedesktop.login1", "/org/freedesktop/login1",
                                    "org.freedesktop.login1.Manager", "PowerOff", RequestTimeout, "b", 1)))
        return TShutDownRoute::Logind;
    return TShutDownRoute::Refused;
}

} // namespace

TShutDownRoute RequestShutDown()
{
    const TShutDownRoute Session = SessionShutDown();
    return Session != TShutDownRoute::Refused ? Session : LogindShutDown();
}

} // namespace AddOn
