#pragma once

#include "LibraryBinding.h"

#include <string>

class QByteArray;
class TUserConnection;

namespace Platform {
class TSound;
}

// Binding of connection.so.
class THTTPConnection : public TLibraryBinding
{
public:
    THTTPConnection(Platform::TLibraryLoader& Loader, Platform::TSound& Sound)
        : TLibraryBinding(Loader), FSound(Sound)
    {}

    // Fetches Url into Body (handed over empty); true when the request
    // succeeded, and then Body is the response (empty: no new document).
    bool HTTPRequest(const std::string& Url, const TUserConnection& Connection, QByteArray& Body);
    // Sets the computer's clock from TimeServer; true when it was synchronised.
    // Only an Interactive call may ask the user to authorise the change.
    bool SincNetworkTime(const std::string& TimeServer, const TUserConnection& Connection, bool Interactive);
    // Beeps, then asks whether an Internet connection is available; false
    // when the library or export is missing.
    bool getConnectionStatus();

private:
    Platform::TSound& FSound;
};
