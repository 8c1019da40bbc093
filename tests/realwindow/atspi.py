#!/usr/bin/python3
"""Works a running program's windows over the accessibility bus, finding objects
by their accessible names, and waits up to 30 s for what it is asked for:
  atspi.py APP press NAME           the object's first action (button, check box, menu item)
  atspi.py APP where NAME           the centre of the object on the screen: "X Y"
  atspi.py APP focused NAME         returns once the object has the keyboard focus
  atspi.py APP empty NAME           returns once the text object is empty
  atspi.py APP text NAME [REGEX]    the text of a text object once it matches REGEX
  atspi.py APP describe NAME REGEX  the object's description once it matches REGEX
  atspi.py APP inside WxH NAME...   "NAME: X Y WIDTH HEIGHT" for every object of each
                                    name, once all lie within a screen of W by H
APP is the application's name on the bus (its program's file name)."""
import re
import sys
import time

import pyatspi


def find_all(node, names, hits, depth=0):
    if node is None or depth > 12:
        return hits
    if node.name in names:
        hits.append(node)
    # A log's lines are many and never what is looked for here.
    if node.getRole() != pyatspi.ROLE_LIST:
        for i in range(node.childCount):
            find_all(node.getChildAtIndex(i), names, hits, depth + 1)
    return hits


def find(node, name):
    hits = find_all(node, [name], [])
    return hits[0] if hits else None


def inside(app, screen, names):
    width, height = map(int, screen.split("x"))
    hits = find_all(app, names, [])
    if set(names) - set(node.name for node in hits):
        return None
    boxes = [(node.name, node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS))
             for node in hits]
    attempt.last = "\n".join("%s: %d %d %d %d" % (name, box.x, box.y, box.width, box.height)
                             for name, box in boxes)
    if all(box.x >= 0 and box.y >= 0 and box.x + box.width <= width
           and box.y + box.height <= height for _, box in boxes):
        return attempt.last
    return None


def attempt(app_name, command, name, pattern):
    desktop = pyatspi.Registry.getDesktop(0)
    app = next((a for a in desktop if a is not None and a.name == app_name), None)
    if command == "inside":
        return inside(app, name, sys.argv[4:])
    node = find(app, name)
    if node is None:
        return None
    if command == "press":
        if not node.getState().contains(pyatspi.STATE_ENABLED):
            return None
        node.queryAction().doAction(0)
        return ""
    if command == "focused":
        return "" if node.getState().contains(pyatspi.STATE_FOCUSED) else None
    if command == "empty":
        return "" if node.queryText().characterCount == 0 else None
    if command == "where":
        box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        return "%d %d" % (box.x + box.width // 2, box.y + box.height // 2)
    if command == "text":
        text = node.queryText()
        value = text.getText(0, text.characterCount)
    else:
        value = node.description
    attempt.last = value
    return value if value and re.search(pattern, value) else None


def main():
    app_name, command, name = sys.argv[1:4]
    pattern = sys.argv[4] if len(sys.argv) > 4 else ""
    attempt.last = None
    for _ in range(150):
        try:
            result = attempt(app_name, command, name, pattern)
        except Exception:  # the bus or the window may still be settling
            result = None
        if result is not None:
            print(result)
            return
        time.sleep(0.2)
    sys.exit("%s %s «%s»: not found or not matched in 30 s; last seen:\n%s"
             % (app_name, command, name, attempt.last))


main()
