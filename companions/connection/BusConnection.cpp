#include "BusConnection.h"

#include <systemd/sd-bus.h>

namespace Connection {

TBusConnection::TBusConnection(TBus Bus)
{
    const int Result = Bus == TBus::System ? sd_bus_open_system(&FBus) : sd_bus_open_user(&FBus);
    if (Result < 0)
        FBus = nullptr;
}

TBusConnection::~TBusConnection()
{
    if (FBus)
        sd_bus_close_unref(FBus); // no flush: it would wait for a hung daemon
}

namespace {

struct TPendingCall
{
    bool Done = false;
    sd_bus_message* Reply = nullptr;
    std::string ErrorName;
};

int Answered(sd_bus_message* Reply, void* Context, sd_bus_error*)
{
    auto& Pending = *static_cast<TPendingCall*>(Context);
    Pending.Done = true;
    if (const sd_bus_error* Error = sd_bus_message_get_error(Reply))
        Pending.ErrorName = Error->name ? Error->name : "call failed";
    else
        Pending.Reply = sd_bus_message_ref(Reply);
    return 1;
}

} // namespace

// Waits on its own deadline rather than sd_bus_call's: a bus daemon that
// accepts and never speaks would otherwise hold the caller for the whole
// authentication timeout (a minute and a half).
sd_bus_message* TBusConnection::Call(sd_bus_message* Message, std::chrono::milliseconds Timeout,
                                     std::string& ErrorName)
{
    TPendingCall Pending;
    sd_bus_slot* Slot = nullptr;
    const auto Microseconds = static_cast<std::uint64_t>(std::chrono::microseconds(Timeout).count());
    const int Sent = sd_bus_call_async(FBus, &Slot, Message, &Answered, &Pending, Microseconds);
    sd_bus_message_unref(Message);
    if (Sent < 0) {
        ErrorName = "call not sent";
        return nullptr;
    }
    const auto Deadline = std::chrono::steady_clock::now() + Timeout;
    while (!Pending.Done) {
        const auto Left = std::chrono::duration_cast<std::chrono::microseconds>(
            Deadline - std::chrono::steady_clock::now());
        if (Left.count() <= 0)
            break;
        const int Processed = sd_bus_process(FBus, nullptr);
        if (Processed < 0)
            break;
        if (Processed == 0 && sd_bus_wait(FBus, static_cast<std::uint64_t>(Left.count())) < 0)
            break;
    }
    sd_bus_slot_unref(Slot);
    if (!Pending.Done) {
        ErrorName = "no answer in time";
        return nullptr;
    }
    ErrorName = Pending.ErrorName;
    return Pending.Reply;
}

bool TBusConnection::HasOwner(const char* Name, std::chrono::milliseconds Timeout)
{
    if (!FBus)
        return false;
    sd_bus_message* Message = nullptr;
    if (sd_bus_message_new_method_call(FBus, &Message, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                       "org.freedesktop.DBus", "NameHasOwner") < 0)
        return false;
    if (sd_bus_message_append(Message, "s", Name) < 0) {
        sd_bus_message_unref(Message);
        return false;
    }
    std::string ErrorName;
    sd_bus_message* Reply = Call(Message, Timeout, ErrorName);
    int Owned = 0;
    const bool Read = Reply && sd_bus_message_read(Reply, "b", &Owned) >= 0;
    sd_bus_message_unref(Reply);
    return Read && Owned;
}

sd_bus_message* TBusConnection::GetProperty(const char* Destination, const char* Path, const char* Interface,
                                            const char* Name, char Type, std::chrono::milliseconds Timeout,
                                            bool AutoStart)
{
    if (!FBus)
        return nullptr;
    sd_bus_message* Message = nullptr;
    if (sd_bus_message_new_method_call(FBus, &Message, Destination, Path, "org.freedesktop.DBus.Properties",
                                       "Get") < 0)
        return nullptr;
    if (sd_bus_message_set_auto_start(Message, AutoStart) < 0 ||
        sd_bus_message_append(Message, "ss", Interface, Name) < 0) {
        sd_bus_message_unref(Message);
        return nullptr;
    }
    std::string ErrorName;
    sd_bus_message* Reply = Call(Message, Timeout, ErrorName);
    const char Contents[2] = {Type, 0};
    if (Reply && sd_bus_message_enter_container(Reply, 'v', Contents) < 0) {
        sd_bus_message_unref(Reply);
        return nullptr;
    }
    return Reply;
}

std::optional<bool> TBusConnection::BooleanProperty(const char* Destination, const char* Path,
                                                    const char* Interface, const char* Name,
                                                    std::chrono::milliseconds Timeout, bool AutoStart)
{
    sd_bus_message* Reply = GetProperty(Destination, Path, Interface, Name, 'b', Timeout, AutoStart);
    int Value = 0;
    const bool Read = Reply && sd_bus_message_read(Reply, "b", &Value) >= 0;
    sd_bus_message_unref(Reply);
    if (!Read)
        return std::nullopt;
    return Value != 0;
}

std::optional<std::uint32_t> TBusConnection::UnsignedProperty(const char* Destination, const char* Path,
                                                              const char* Interface, const char* Name,
                                                              std::chrono::milliseconds Timeout,
                                                              bool AutoStart)
{
    sd_bus_message* Reply = GetProperty(Destination, Path, Interface, Name, 'u', Timeout, AutoStart);
    std::uint32_t Value = 0;
    const bool Read = Reply && sd_bus_message_read(Reply, "u", &Value) >= 0;
    sd_bus_message_unref(Reply);
    if (!Read)
        return std::nullopt;
    return Value;
}

} // namespace Connection
