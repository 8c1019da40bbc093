#!/usr/bin/python3
"""The real form under Wine on Xvfb (the Windows build's log_form.exe, which
prints its log on stdout): keys typed with xdotool through the X server under a
US and a Russian layout, and bytes sent through a pseudo-terminal mapped to COM1.

    real_window.py LOG_FORM_EXE

Needs DISPLAY (an Xvfb started with -noreset, no window manager) and
WINEPREFIX; the program's DLLs, plugins and qt.conf lie beside it. Waits for what the program prints, never for a fixed time.
"""
import os
import queue
import subprocess
import sys
import threading
import time

from pty_device import map_port, write_all

WAIT = 60  # seconds for any one state; only a hung program takes that long


class Form:
    started = []  # ended on the way out, whatever happened

    def __init__(self, exe):
        self.proc = subprocess.Popen(["wine", exe],
                                     stdout=subprocess.PIPE)
        Form.started.append(self.proc)
        self.lines = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()
        # The indicator as the form starts, then the keyboard.
        self.expect(["indicator 0000FF", "active"])
        self.window = self.find_window()

    @staticmethod
    def find_window():
        """The form's X window. A search fails now and then when one of the
        windows Wine makes and drops as a program starts goes while it is looked
        at: that search is simply repeated."""
        deadline = time.monotonic() + WAIT
        while time.monotonic() < deadline:
            found = subprocess.run(
                ["xdotool", "search", "--onlyvisible", "--name", "^Orvatek$"],
                capture_output=True, text=True).stdout.split()
            if found:
                return found[0]
            time.sleep(0.1)
        sys.exit("FAIL: the form showed no window")

    def _read(self):
        for raw in self.proc.stdout:
            self.lines.put(raw.decode("utf-8", "replace").rstrip("\r\n"))
        self.lines.put(None)

    def expect(self, wanted):
        """Waits for the next printed lines to be exactly wanted, in order."""
        for want in [wanted] if isinstance(wanted, str) else wanted:
            try:
                got = self.lines.get(timeout=WAIT)
            except queue.Empty:
                sys.exit(f"FAIL: waited for {want!r}")
            if got != want:
                sys.exit(f"FAIL: expected {want!r}, got {got!r}")

    def keys(self, *names):
        # Through the X server's key path (XTEST), as a keyboard types, into the
        # window with the X focus: Wine takes Shift and Ctrl from the keys it saw
        # pressed, not from an event's own state.
        subprocess.run(["xdotool", "windowfocus", "--sync", self.window], check=True,
                       timeout=WAIT)
        subprocess.run(["xdotool", "key", *names], check=True)

    def click(self, x, y):
        subprocess.run(["xdotool", "mousemove", "--window", self.window, str(x), str(y),
                        "click", "1"], check=True)

    def close(self):
        self.proc.terminate()
        self.proc.wait()

    @staticmethod
    def end_all():
        for proc in Form.started:
            if proc.poll() is None:
                proc.terminate()
                proc.wait()


def key_lines(codes):
    return [f"line KeyAscii={c}" for c in codes]


def main():
    exe = sys.argv[1]
    master, _ = map_port("COM1")

    subprocess.run(["setxkbmap", "-layout", "us"], check=True)
    form = Form(exe)
    form.keys("1", "2", "Return")
    form.expect(key_lines([49, 50, 13]))
    form.keys("ctrl+bracketright")
    form.expect(key_lines([29]))
    print("PASS keys, US layout")

    # The serial mode: "интерфейс RS-232", then "Открыть порт" (places as the
    # form lays them out at 96 DPI).
    form.click(20, 16)
    form.click(50, 68)
    form.expect("indicator 00FF00")
    # The digits typed above are still in the scan box: the port's join them.
    write_all(master, b"0A\r")
    form.expect(key_lines([48, 65]) + ["line 120A"])
    os.close(master)
    form.expect("indicator 0000FF")
    print("PASS COM1 on a pseudo-terminal, unplugged")
    form.close()

    subprocess.run(["setxkbmap", "-layout", "ru"], check=True)
    try:
        form = Form(exe)
        # The key A, with Shift and without, then keys both layouts share. (Not
        # Ctrl+]: the Russian layout has no "]", and the spare key xdotool lends it
        # is gone again when Wine, busy, comes to look it up.)
        form.keys("Cyrillic_ef", "Cyrillic_EF", "1", "Return")
        form.expect(key_lines([244, 212, 49, 13]))
        print("PASS keys, Russian layout")
        form.close()
    finally:
        subprocess.run(["setxkbmap", "-layout", "us"], check=True)
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    finally:
        Form.end_all()
