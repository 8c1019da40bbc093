#pragma once

#include <QString>

// What a key gives on a US keyboard layout, whatever layout the system has: a
// scanner in keyboard mode presses keys as a US keyboard would, so this is what
// it meant to type. Looked up in a keymap that xkbcommon builds for the "us"
// layout (uslayout_unix.cpp); on Windows, from the table of Windows' US layout
// (00000409) kept by key position (uslayout_win.cpp).
struct UsLayoutKey
{
    // The key named by what it gives: "A", "1", "]", or the key's own name where
    // it types no printable character ("Return", "KP_1"); empty when unknown.
    QString name;
    // The text the key types with Shift held or not (Num Lock on); may be empty.
    QString text;
};

// keyCode: the key's code as the platform reports it: under X and Wayland as
// xkbcommon numbers it (the evdev code + 8), on Windows the scan code, with 0x100
// for an extended key.
UsLayoutKey usLayoutKey(quint32 keyCode, bool shift);

// Where a US layout has a character: the key's code as above (0 when no key types
// it) and whether Shift is held. Keys of the main block before the keypad.
struct UsLayoutPlace
{
    quint32 keyCode = 0;
    bool shift = false;
};
UsLayoutPlace usLayoutKeyTyping(const QString &text);
