#!/usr/bin/python3
"""A serial device for a Windows program under Wine: a pseudo-terminal whose
slave side Wine's registry maps to a COM port, its master side held here.

    pty_device.py COM1 -- wine tst_win32port.exe ...

Runs the command and answers what it asks on its stdout, one request a line:
"send <hex>" writes those bytes to the master side, "unplug" closes it (the
device goes away). Other lines are passed on. Exits with the command's status.
"""
import os
import subprocess
import sys
import tty


def map_port(port):
    """A fresh pseudo-terminal mapped to port; returns (master fd, slave path)."""
    master, slave = os.openpty()
    tty.setraw(slave)  # no line discipline: bytes pass as they are
    path = os.ttyname(slave)
    os.close(slave)
    subprocess.run(["wine", "reg", "add", r"HKLM\Software\Wine\Ports", "/v", port,
                    "/d", path, "/f"], check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
    # Wine maps the ports as it starts.
    subprocess.run(["wineserver", "-w"], check=True)
    # The server that starts now opens the port, and the pseudo-terminal becomes
    # its controlling terminal: closing the master side sends it a hang-up, on
    # which it writes a dump of all its objects to its stderr. That goes nowhere.
    subprocess.run(["wineserver"], check=True, stderr=subprocess.DEVNULL)
    return master, path


def write_all(fd, data):
    while data:
        data = data[os.write(fd, data):]


def main():
    port, command = sys.argv[1], sys.argv[sys.argv.index("--") + 1:]
    master, _ = map_port(port)
    child = subprocess.Popen(command, stdout=subprocess.PIPE)
    for raw in child.stdout:
        line = raw.decode("utf-8", "replace").rstrip("\r\n")
        if line.startswith("send "):
            write_all(master, bytes.fromhex(line[5:]))
        elif line == "unplug" and master >= 0:
            os.close(master)
            master = -1
        else:
            print(line, flush=True)
    return child.wait()


if __name__ == "__main__":
    sys.exit(main())
