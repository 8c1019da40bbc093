#!/usr/bin/python3
"""A serial device for a Windows program under Wine: a pseudo-terminal whose
slave side Wine's registry maps to a COM port, its master side held here.

    pty_device.py COM1 -- wine tst_win32port.exe ...

Runs the command and answers what it asks on its stdout, one request a line:
"send <hex>" writes those bytes to the master side; "flood <n>" starts writing n
bytes, byte i being i % 251, as fast as the other side takes them (a write that
would block waits, as a device held back by a full buffer); "stop" ends a flood;
"unplug" closes the master side (the device goes away). Other lines are passed
on. Exits with the command's status.
"""
import fcntl
import os
import select
import subprocess
import sys
import threading
import tty

PERIOD = 251


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
    # Never blocked for good: a flood must stop when asked, whoever reads.
    fcntl.fcntl(master, fcntl.F_SETFL, fcntl.fcntl(master, fcntl.F_GETFL) | os.O_NONBLOCK)
    return master, path


def write_all(fd, data, stop=None):
    while data and not (stop and stop.is_set()):
        select.select([], [fd], [], 0.1)
        try:
            data = data[os.write(fd, data):]
        except BlockingIOError:
            pass


def flood(fd, size, stop):
    pattern = bytes(range(PERIOD)) * (65536 // PERIOD + 1)
    sent = 0
    while sent < size and not stop.is_set():
        start = sent % PERIOD
        piece = pattern[start:start + min(65536 - PERIOD, size - sent)]
        write_all(fd, piece, stop)
        sent += len(piece)


def main():
    port, command = sys.argv[1], sys.argv[sys.argv.index("--") + 1:]
    master, _ = map_port(port)
    child = subprocess.Popen(command, stdout=subprocess.PIPE)
    flooding, stop = None, threading.Event()

    def end_flood():
        nonlocal flooding
        if flooding:
            stop.set()
            flooding.join()
            flooding = None
            stop.clear()

    for raw in child.stdout:
        line = raw.decode("utf-8", "replace").rstrip("\r\n")
        if line.startswith("send "):
            write_all(master, bytes.fromhex(line[5:]))
        elif line.startswith("flood "):
            end_flood()
            flooding = threading.Thread(target=flood, args=(master, int(line[6:]), stop))
            flooding.start()
        elif line == "stop":
            end_flood()
        elif line == "unplug" and master >= 0:
            end_flood()
            os.close(master)
            master = -1
        else:
            print(line, flush=True)
    end_flood()
    return child.wait()


if __name__ == "__main__":
    sys.exit(main())
