#!/usr/bin/python3
"""Prints what a running orvatek window shows, read over the accessibility bus:
the log's lines, one per line after "log:", and the scan box's text after "scan:".
Waits up to 30 s for the window to appear and for the log to hold at least N lines;
with N = 0, for the scan box to have the focus, so that keys can be typed.
With a second argument, each log line is followed by a tab and its description,
its own lines joined by " | "; with "placed" instead, by the centre of the line
on the screen ("X Y")."""
import sys
import time

import pyatspi


def find(node, pred, depth=0):
    if node is None or depth > 12:
        return None
    if pred(node):
        return node
    hits = (find(node.getChildAtIndex(i), pred, depth + 1) for i in range(node.childCount))
    return next((hit for hit in hits if hit is not None), None)


def told(item):
    if sys.argv[2] != "placed":
        return item.description.replace("\n", " | ")
    box = item.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return "%d %d" % (box.x + box.width // 2, box.y + box.height // 2)


def snapshot():
    app = find(pyatspi.Registry.getDesktop(0), lambda n: n.name == "orvatek", 11)
    log = find(app, lambda n: n.getRole() == pyatspi.ROLE_LIST)
    scan = find(app, lambda n: n.getRole() == pyatspi.ROLE_TEXT and n.name == "Скан")
    if log is None or scan is None:
        return None
    if want == 0 and not scan.getState().contains(pyatspi.STATE_FOCUSED):
        return None
    text = scan.queryText()
    items = [log.getChildAtIndex(k) for k in range(log.childCount)]
    return [item.name + ("\t" + told(item) if described else "") for item in items], \
        text.getText(0, text.characterCount)


want = int(sys.argv[1]) if len(sys.argv) > 1 else 0
described = len(sys.argv) > 2
seen = None
for _ in range(150):
    try:
        seen = snapshot()
    except Exception:  # the bus may still be settling
        seen = None
    if seen is not None and len(seen[0]) >= want:
        break
    time.sleep(0.2)
if seen is None:
    sys.exit("no orvatek window on the accessibility bus")
print("\n".join(["log:" + line for line in seen[0]] + ["scan:" + seen[1]]))
