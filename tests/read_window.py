#!/usr/bin/python3
"""Prints what a running orvatek window shows, read over the accessibility bus:
the log's lines, one per line after "log:", and the scan box's text after "scan:".
Waits up to 30 s for the window to appear and for the log to hold at least N lines;
with N = 0, for the scan box to have the focus, so that keys can be typed."""
import sys
import time

import pyatspi

want = int(sys.argv[1]) if len(sys.argv) > 1 else 0


def find(node, pred, depth=0):
    if node is None or depth > 12:
        return None
    if pred(node):
        return node
    for i in range(node.childCount):
        hit = find(node.getChildAtIndex(i), pred, depth + 1)
        if hit is not None:
            return hit
    return None


def snapshot():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is None or app.name != "orvatek":
            continue
        log = find(app, lambda n: n.getRole() == pyatspi.ROLE_LIST)
        scan = find(app, lambda n: n.getRole() == pyatspi.ROLE_TEXT and n.name == "Скан")
        if log is None or scan is None:
            return None
        if want == 0 and not scan.getState().contains(pyatspi.STATE_FOCUSED):
            return None
        lines = [log.getChildAtIndex(k).name for k in range(log.childCount)]
        text = scan.queryText()
        return lines, text.getText(0, text.characterCount)
    return None


deadline = time.time() + 30
seen = None
while time.time() < deadline:
    try:
        seen = snapshot()
    except Exception as error:  # the bus may still be settling
        seen = None
        last_error = error
    if seen is not None and len(seen[0]) >= want:
        break
    time.sleep(0.2)
if seen is None:
    print("no orvatek window on the accessibility bus", file=sys.stderr)
    sys.exit(1)
for line in seen[0]:
    print("log:" + line)
print("scan:" + seen[1])
