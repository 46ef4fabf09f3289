#!/usr/bin/env python3
"""Fake desktop and system services for tests, on the bus that
DBUS_SESSION_BUS_ADDRESS names (a test's private bus).

  fake-bus-services.py --record FILE [--logind yes|no|challenge]
      [--timedated NTP,SYNCHRONISED[,ASKS]] [--networkmanager STATE,CONNECTIVITY]
      [--session gnome|kde|xfce] [--session-can-shutdown yes|no]

Only the services named are started. Each method call and property read is
appended to FILE as one line of words, e.g.
  org.freedesktop.login1.Manager.PowerOff true
  org.freedesktop.timedate1.SetTime 5000000 true true
Prints "ready" once every name is owned.
"""
import argparse
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib


def word(value):
    if isinstance(value, dbus.Boolean) or isinstance(value, bool):
        return "true" if value else "false"
    return str(value)


class Recorder:
    def __init__(self, path):
        self.file = open(path, "a", buffering=1)

    def __call__(self, *words):
        self.file.write(" ".join(word(w) for w in words) + "\n")
        self.file.flush()


record = None


class PropertyObject(dbus.service.Object):
    properties = {}

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        record("Get", interface, name)
        try:
            return self.properties[interface][name]
        except KeyError:
            raise dbus.exceptions.DBusException(
                "no property " + name, name="org.freedesktop.DBus.Error.UnknownProperty")

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        record("GetAll", interface)
        return dbus.Dictionary(self.properties.get(interface, {}), signature="sv")


LOGIN = "org.freedesktop.login1.Manager"


class Login(PropertyObject):
    def __init__(self, bus, answer):
        super().__init__(bus, "/org/freedesktop/login1")
        self.answer = answer

    @dbus.service.method(LOGIN, in_signature="", out_signature="s")
    def CanPowerOff(self):
        record(LOGIN + ".CanPowerOff")
        return self.answer

    @dbus.service.method(LOGIN, in_signature="b", out_signature="")
    def PowerOff(self, interactive):
        record(LOGIN + ".PowerOff", interactive)
        if self.answer != "yes" and not (self.answer == "challenge" and interactive):
            raise dbus.exceptions.DBusException(
                "not allowed", name="org.freedesktop.DBus.Error.AccessDenied")


TIMEDATE = "org.freedesktop.timedate1"


class TimeDate(PropertyObject):
    def __init__(self, bus, ntp, synchronised, asks=False):
        super().__init__(bus, "/org/freedesktop/timedate1")
        # As polkit's default for a desktop user: a change only with an answered password prompt.
        self.asks = asks
        self.properties = {TIMEDATE: {
            "NTP": dbus.Boolean(ntp), "NTPSynchronized": dbus.Boolean(synchronised),
            "CanNTP": dbus.Boolean(True), "Timezone": dbus.String("UTC")}}

    @dbus.service.method(TIMEDATE, in_signature="xbb", out_signature="")
    def SetTime(self, usec, relative, interactive):
        record(TIMEDATE + ".SetTime", int(usec), relative, interactive)
        if self.asks and not interactive:
            raise dbus.exceptions.DBusException(
                "Interactive authentication required.",
                name="org.freedesktop.DBus.Error.InteractiveAuthorizationRequired")
        if self.properties[TIMEDATE]["NTP"]:
            raise dbus.exceptions.DBusException(
                "Automatic time synchronization is enabled",
                name="org.freedesktop.timedate1.AutomaticTimeSynchronizationEnabled")


NETWORK = "org.freedesktop.NetworkManager"


class Network(PropertyObject):
    def __init__(self, bus, state, connectivity):
        super().__init__(bus, "/org/freedesktop/NetworkManager")
        self.properties = {NETWORK: {
            "State": dbus.UInt32(state), "Connectivity": dbus.UInt32(connectivity)}}

    @dbus.service.method(NETWORK, in_signature="", out_signature="u")
    def state(self):
        record(NETWORK + ".state")
        return self.properties[NETWORK]["State"]


class GnomeSession(dbus.service.Object):
    def __init__(self, bus, can):
        super().__init__(bus, "/org/gnome/SessionManager")
        self.can = can

    @dbus.service.method("org.gnome.SessionManager", in_signature="", out_signature="b")
    def CanShutdown(self):
        record("org.gnome.SessionManager.CanShutdown")
        return self.can

    @dbus.service.method("org.gnome.SessionManager", in_signature="", out_signature="")
    def Shutdown(self):
        record("org.gnome.SessionManager.Shutdown")


class KdeShutdown(dbus.service.Object):
    def __init__(self, bus):
        super().__init__(bus, "/Shutdown")

    @dbus.service.method("org.kde.Shutdown", in_signature="", out_signature="")
    def logoutAndShutdown(self):
        record("org.kde.Shutdown.logoutAndShutdown")


class XfceSession(dbus.service.Object):
    def __init__(self, bus, can):
        super().__init__(bus, "/org/xfce/SessionManager")
        self.can = can

    @dbus.service.method("org.xfce.Session.Manager", in_signature="", out_signature="b")
    def CanShutdown(self):
        record("org.xfce.Session.Manager.CanShutdown")
        return self.can

    @dbus.service.method("org.xfce.Session.Manager", in_signature="b", out_signature="")
    def Shutdown(self, allow_save):
        record("org.xfce.Session.Manager.Shutdown", allow_save)


def flag(text):
    return text.strip().lower() in ("1", "true", "yes")


def main():
    global record
    parser = argparse.ArgumentParser()
    parser.add_argument("--record", required=True)
    parser.add_argument("--logind")
    parser.add_argument("--timedated")
    parser.add_argument("--networkmanager")
    parser.add_argument("--session", choices=["gnome", "kde", "xfce"])
    parser.add_argument("--session-can-shutdown", default="yes")
    options = parser.parse_args()
    record = Recorder(options.record)

    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    keep = []

    def own(name):
        keep.append(dbus.service.BusName(name, bus, do_not_queue=True))

    if options.logind is not None:
        own("org.freedesktop.login1")
        keep.append(Login(bus, options.logind))
    if options.timedated is not None:
        parts = [flag(part) for part in options.timedated.split(",")]
        ntp, synchronised, asks = (parts + [False])[:3]
        own(TIMEDATE)
        keep.append(TimeDate(bus, ntp, synchronised, asks))
    if options.networkmanager is not None:
        state, connectivity = (int(part) for part in options.networkmanager.split(","))
        own(NETWORK)
        keep.append(Network(bus, state, connectivity))
    can = flag(options.session_can_shutdown)
    if options.session == "gnome":
        own("org.gnome.SessionManager")
        keep.append(GnomeSession(bus, can))
    elif options.session == "kde":
        own("org.kde.Shutdown")
        keep.append(KdeShutdown(bus))
    elif options.session == "xfce":
        own("org.xfce.SessionManager")
        keep.append(XfceSession(bus, can))

    print("ready", flush=True)
    GLib.MainLoop().run()


if __name__ == "__main__":
    sys.exit(main())
