#pragma once

#include <QString>
#include <Qt>

// The character a key press types, as the scanner's home platform (Windows)
// gives it: a scanner's settings, and the programs it is set up for, assume that
// platform's keys. The X server and Wayland differ: Delete types "\x7f",
// Ctrl+Enter "\r", Ctrl+Backspace "\b", Ctrl+1 "1", Ctrl+Space "\0", and Ctrl
// with the key "]" of a Russian layout types "ъ".
QString platformKeyText(
    int key, Qt::KeyboardModifiers modifiers, const QString &text, quint32 nativeScanCode = 0);

// Qt::KeypadModifier for a key of the keypad, told by its native virtual key,
// which under X and Wayland is the keysym: Qt on Wayland leaves the modifier off.
Qt::KeyboardModifiers keypadModifier(quint32 nativeVirtualKey);
