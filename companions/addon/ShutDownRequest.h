#pragma once

namespace AddOn {

// Who took the power-off request.
enum class TShutDownRoute
{
    Refused,
    GnomeSession,
    KdeShutdown,
    KdeSessionServer,
    XfceSession,
    Logind
};

// Asks the desktop to power off the way a program of the user's may: the
// session manager's own shutdown where one runs on the session bus (it lets
// the other programs save their work), otherwise logind's PowerOff with
// interaction allowed, when CanPowerOff does not say no. Never a command.
TShutDownRoute RequestShutDown();

} // namespace AddOn
