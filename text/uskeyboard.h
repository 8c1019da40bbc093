#pragma once

#include <QString>

// The US keyboard layout (Windows' 00000409, as printed on the keys) by key
// position: a scanner in keyboard mode presses keys as a US keyboard would. The
// one table of it: the key lines' tooltips read it on Windows, and the layout
// guess of a read (what a scanner meant under a Russian layout) pairs it with the
// Russian layout key by key.
namespace UsKeyboard {

// A key by its position, the PC/AT (set 1) scan code, with 0x100 for an extended key.
struct Key
{
    quint32 scanCode;
    // The key's name where it types no printable character, as xkbcommon names it
    // ("Return", "KP_1"); null: named by its character.
    const char *name;
    const char *plain;
    const char *shifted; // Num Lock on, as scanners type
};

// The key at a position; null where the layout has none.
const Key *at(quint32 scanCode);

// Where the layout has a character: its key (0 when no key types it) and whether
// Shift is held. Keys of the main block only, not the keypad: a digit is found
// above the letters.
struct Place
{
    quint32 scanCode = 0;
    bool shift = false;
};
Place typing(const QString &text);

} // namespace UsKeyboard
