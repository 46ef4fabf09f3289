#!/usr/bin/env python3
"""A fake desktop notification server (org.freedesktop.Notifications) for
tests, on the bus that DBUS_SESSION_BUS_ADDRESS names (a test's private bus).

  fake-notifications.py --record FILE

Each Notify and CloseNotification is appended to FILE as one line of
tab-separated fields, tabs, line breaks and backslashes escaped:
  Notify ID APP_NAME REPLACES_ID ICON SUMMARY BODY ACTIONS URGENCY EXPIRE_TIMEOUT
  CloseNotification ID
ACTIONS are the key and label pairs joined by "|". Commands come on standard
input, one a line:
  invoke ID KEY     emits ActionInvoked(ID, KEY), then closes the notice
  dismiss ID        closes the notice as the user does
Prints "ready" once the name is owned.
"""
import argparse
import os
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

NAME = "org.freedesktop.Notifications"
PATH = "/org/freedesktop/Notifications"


def escape(value):
    return str(value).replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n")


class Server(dbus.service.Object):
    def __init__(self, bus, record):
        super().__init__(bus, PATH)
        self.record = open(record, "a", buffering=1)
        self.last = 0
        self.open = set()

    def write(self, *fields):
        self.record.write("\t".join(escape(f) for f in fields) + "\n")
        self.record.flush()

    @dbus.service.method(NAME, in_signature="susssasa{sv}i", out_signature="u")
    def Notify(self, app_name, replaces_id, app_icon, summary, body, actions, hints, expire_timeout):
        self.last += 1
        urgency = int(hints["urgency"]) if "urgency" in hints else -1
        self.write("Notify", self.last, app_name, int(replaces_id), app_icon, summary, body,
                   "|".join(actions), urgency, int(expire_timeout))
        self.open.add(self.last)
        return self.last

    @dbus.service.method(NAME, in_signature="u", out_signature="")
    def CloseNotification(self, notice):
        self.write("CloseNotification", int(notice))
        self.close(int(notice), 3)

    @dbus.service.method(NAME, in_signature="", out_signature="as")
    def GetCapabilities(self):
        return ["actions", "body", "persistence"]

    @dbus.service.method(NAME, in_signature="", out_signature="ssss")
    def GetServerInformation(self):
        return ("fake", "zentavo tests", "1", "1.2")

    @dbus.service.signal(NAME, signature="us")
    def ActionInvoked(self, notice, key):
        pass

    @dbus.service.signal(NAME, signature="uu")
    def NotificationClosed(self, notice, reason):
        pass

    def close(self, notice, reason):
        if notice in self.open:
            self.open.discard(notice)
            self.NotificationClosed(dbus.UInt32(notice), dbus.UInt32(reason))

    def command(self, line):
        words = line.split()
        if len(words) == 3 and words[0] == "invoke":
            self.ActionInvoked(dbus.UInt32(int(words[1])), words[2])
            self.close(int(words[1]), 2)
        elif len(words) == 2 and words[0] == "dismiss":
            self.close(int(words[1]), 2)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--record", required=True)
    options = parser.parse_args()

    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    name = dbus.service.BusName(NAME, bus, do_not_queue=True)
    server = Server(bus, options.record)
    loop = GLib.MainLoop()

    pending = [b""]

    def on_input(fd, condition):
        data = os.read(fd, 4096)
        if not data:
            loop.quit()
            return False
        pending[0] += data
        while b"\n" in pending[0]:
            line, pending[0] = pending[0].split(b"\n", 1)
            server.command(line.decode())
        return True

    GLib.io_add_watch(sys.stdin.fileno(), GLib.PRIORITY_DEFAULT, GLib.IO_IN | GLib.IO_HUP, on_input)
    print("ready", flush=True)
    loop.run()
    del name


if __name__ == "__main__":
    sys.exit(main())
