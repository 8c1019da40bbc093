#!/usr/bin/python3
"""Waits up to 30 s for the tool's windows to lie apart on the X display, then
prints each window's frame as "NAME: X Y WIDTH HEIGHT":
  windows.py WxH MAIN OTHER... [-- X,Y,W,H...]
MAIN and each OTHER are regular expressions for a visible window's name. Every
frame lies within a screen of W by H, no OTHER overlaps MAIN, and the last OTHER
overlaps none of the rectangles given after "--" (what another window keeps in
view). Frames count the window manager's decorations (_NET_FRAME_EXTENTS)."""
import re
import sys
import time

from Xlib import X, display


def frames(d, patterns):
    root = d.screen().root
    name_atom, utf8 = d.intern_atom("_NET_WM_NAME"), d.intern_atom("UTF8_STRING")
    extents_atom = d.intern_atom("_NET_FRAME_EXTENTS")
    found = {}

    def walk(window):
        for child in window.query_tree().children:
            attributes = child.get_attributes()
            if attributes.map_state == X.IsViewable and not attributes.override_redirect:
                prop = child.get_full_property(name_atom, utf8)
                name = prop.value.decode() if prop else ""
                for pattern in patterns:
                    if pattern not in found and name and re.search(pattern, name):
                        geometry = child.get_geometry()
                        origin = root.translate_coords(child, 0, 0)
                        extents = child.get_full_property(extents_atom, X.AnyPropertyType)
                        left, right, top, bottom = extents.value if extents else (0, 0, 0, 0)
                        found[pattern] = (name, origin.x - left, origin.y - top,
                                          geometry.width + left + right,
                                          geometry.height + top + bottom)
            walk(child)

    walk(root)
    return found


def overlap(a, b):
    return a[0] < b[0] + b[2] and b[0] < a[0] + a[2] and a[1] < b[1] + b[3] and b[1] < a[1] + a[3]


def check(d, width, height, patterns, kept):
    found = frames(d, patterns)
    check.last = "\n".join("%s: %d %d %d %d" % found[p] for p in patterns if p in found)
    if len(found) < len(patterns):
        return "not every window is up"
    boxes = [found[p][1:] for p in patterns]
    for (name, *box) in found.values():
        if box[0] < 0 or box[1] < 0 or box[0] + box[2] > width or box[1] + box[3] > height:
            return "%s is not within the screen" % name
    for pattern, box in zip(patterns[1:], boxes[1:]):
        if overlap(box, boxes[0]):
            return "%s covers %s" % (found[pattern][0], found[patterns[0]][0])
    for rect in kept:
        if overlap(boxes[-1], rect):
            return "%s covers %s" % (found[patterns[-1]][0], rect)
    return None


def main():
    args = sys.argv[1:]
    kept = []
    if "--" in args:
        kept = [tuple(map(int, r.split(","))) for r in args[args.index("--") + 1:]]
        args = args[:args.index("--")]
    width, height = map(int, args[0].split("x"))
    d = display.Display()
    fault = None
    for _ in range(150):
        fault = check(d, width, height, args[1:], kept)
        if fault is None:
            print(check.last)
            return
        time.sleep(0.2)
    sys.exit("%s after 30 s:\n%s" % (fault, check.last))


main()
