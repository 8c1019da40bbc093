#!/usr/bin/python3
"""Runs the command given, listening meanwhile on the accessibility bus for lines
added to orvatek's log (children-changed events of a list), and prints how many
came and in how many seconds: "events SECONDS"."""
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

events = 0


def listen(event):
    global events
    if event.source is not None and event.source.getRole() == pyatspi.ROLE_LIST:
        events += 1


def run():
    global started
    started = time.monotonic()
    subprocess.run(sys.argv[1:], check=True)
    # What the program still had to tell comes within its interval.
    GLib.timeout_add(1000, pyatspi.Registry.stop)
    return False


pyatspi.Registry.registerEventListener(listen, "object:children-changed")
GLib.timeout_add(500, run)  # the program learns of the listener first
pyatspi.Registry.start()
print(events, round(time.monotonic() - started, 1))
