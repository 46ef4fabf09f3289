#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

struct sd_bus;
struct sd_bus_message;

namespace Connection {

// One connection to the system or the session bus (as DBUS_SYSTEM_BUS_ADDRESS
// and DBUS_SESSION_BUS_ADDRESS name them), for the few calls of one export.
// Every call has its own timeout, so no answer keeps the caller longer.
class TBusConnection
{
public:
    enum class TBus
    {
        System,
        Session
    };

    explicit TBusConnection(TBus Bus);
    ~TBusConnection();
    TBusConnection(const TBusConnection&) = delete;
    TBusConnection& operator=(const TBusConnection&) = delete;

    bool IsOpen() const { return FBus != nullptr; }
    sd_bus* Handle() const { return FBus; }

    // Whether someone owns Name now; asks without starting anything.
    bool HasOwner(const char* Name, std::chrono::milliseconds Timeout);
    // A property of type "b" or "u"; nothing when it cannot be read in time.
    // Without AutoStart a service that is not running is not started for it.
    std::optional<bool> BooleanProperty(const char* Destination, const char* Path, const char* Interface,
                                        const char* Name, std::chrono::milliseconds Timeout, bool AutoStart);
    std::optional<std::uint32_t> UnsignedProperty(const char* Destination, const char* Path,
                                                  const char* Interface, const char* Name,
                                                  std::chrono::milliseconds Timeout, bool AutoStart);
    // Sends Message (which it releases) and waits for the answer; the reply, to
    // be released by the caller, or null with ErrorName set.
    sd_bus_message* Call(sd_bus_message* Message, std::chrono::milliseconds Timeout, std::string& ErrorName);

private:
    sd_bus_message* GetProperty(const char* Destination, const char* Path, const char* Interface,
                                const char* Name, char Type, std::chrono::milliseconds Timeout,
                                bool AutoStart);

    sd_bus* FBus = nullptr;
};

} // namespace Connection
