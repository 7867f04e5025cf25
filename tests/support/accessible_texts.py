#!/usr/bin/python3
"""Prints what a screen reader could read of the labels and status bars of every application on
the session's accessibility bus, one line "<role>|<name>|<text>" each time a text changes, for
at most SECONDS (or until the applications that appeared are gone again). The first line is
"ready", once the accessibility bus and its registry answer: an application started before that
may register with nobody and never be seen.

Usage: accessible_texts.py SECONDS
Needs DBUS_SESSION_BUS_ADDRESS and the AT-SPI bus (Debian: at-spi2-core, gir1.2-atspi-2.0,
python3-gi); the application must run without NO_AT_BRIDGE.
"""

import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

ROLES = {"label", "status bar", "progress bar"}


def texts(accessible):
    try:
        role = accessible.get_role_name()
        name = accessible.get_name() or ""
    except gi.repository.GLib.Error:
        return
    if role in ROLES:
        text = ""
        if role != "progress bar":
            iface = Atspi.Accessible.get_text_iface(accessible)
            if iface is not None:
                text = Atspi.Text.get_text(iface, 0, Atspi.Text.get_character_count(iface))
        description = accessible.get_description() or ""
        yield f"{role}|{name}|{text or description}"
    for index in range(accessible.get_child_count()):
        child = accessible.get_child_at_index(index)
        if child is not None:
            yield from texts(child)


def main():
    deadline = time.monotonic() + float(sys.argv[1])
    Atspi.get_desktop(0).get_child_count()  # starts the bus and the registry, and waits for them
    print("ready", flush=True)
    last = {}
    appeared = False
    while time.monotonic() < deadline:
        desktop = Atspi.get_desktop(0)
        count = desktop.get_child_count()
        if appeared and count == 0:
            break
        for index in range(count):
            application = desktop.get_child_at_index(index)
            if application is None:
                continue
            appeared = True
            for position, line in enumerate(texts(application)):
                if last.get(position) != line:
                    last[position] = line
                    print(line, flush=True)
        time.sleep(0.1)


if __name__ == "__main__":
    main()
