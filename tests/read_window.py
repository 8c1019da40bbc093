#!/usr/bin/python3
"""Prints what a running orvatek window shows, read over the accessibility bus:
the log's lines, one per line after "log:", and the scan box's text after "scan:".
Waits up to 30 s for the window to appear and for the log to hold at least N lines."""
import sys
import time

import pyatspi


def find(node, pred, depth=0):
    if node is None or depth > 12 or pred(node):
        return node if depth <= 12 else None
    hits = (find(node.getChildAtIndex(i), pred, depth + 1) for i in range(node.childCount))
    return next((hit for hit in hits if hit is not None), None)


def snapshot():
    app = find(pyatspi.Registry.getDesktop(0), lambda n: n.name == "orvatek", 11)
    log = find(app, lambda n: n.getRole() == pyatspi.ROLE_LIST)
    scan = find(app, lambda n: n.getRole() == pyatspi.ROLE_TEXT
                and n.getState().contains(pyatspi.STATE_FOCUSED))
    text = scan.queryText()  # AttributeError, caught below, while there is none
    return [log.getChildAtIndex(k).name for k in range(log.childCount)] + \
        ["scan:" + text.getText(0, text.characterCount)]


want = int(sys.argv[1]) if len(sys.argv) > 1 else 0
for _ in range(150):
    try:
        seen = snapshot()  # the bus may still be settling
    except Exception:
        seen = None
    if seen is not None and len(seen) > want:
        break
    time.sleep(0.2)
if seen is None:
    sys.exit("no orvatek window on the accessibility bus")
print("\n".join(["log:" + line for line in seen[:-1]] + seen[-1:]))
