#!/usr/bin/python3
"""png2ico.py IN.png OUT.ico: an icon file holding the PNG image as it is (the
form Windows has read since Vista), for the program's resources and the
installer."""
import struct
import sys

png = open(sys.argv[1], "rb").read()
assert png[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
width, height = struct.unpack(">II", png[16:24])
entry = struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(png), 6 + 16)
open(sys.argv[2], "wb").write(struct.pack("<HHH", 0, 1, 1) + entry + png)
