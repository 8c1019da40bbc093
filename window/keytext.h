#pragma once

#include <QString>
#include <Qt>

// The character a key press types, as the scanner's home platform gives it. A
// scanner's settings (and the programs it is set up for) assume that platform's
// keys, and the X server and Wayland differ from it: Delete types "\x7f", Ctrl+Enter
// types "\r", Ctrl+Backspace "\b", Ctrl with the key "]" of a Russian layout "ъ".
QString platformKeyText(
    int key, Qt::KeyboardModifiers modifiers, const QString &text, quint32 nativeScanCode = 0);

// The character's code in Windows-1251; a character that the code page cannot
// represent gives 63 ("?").
short windows1251Code(char32_t ch);

// Qt::KeypadModifier for a key of the keypad, told by its native virtual key,
// which under X and Wayland is the keysym: Qt on Wayland leaves the modifier off.
Qt::KeyboardModifiers keypadModifier(quint32 nativeVirtualKey);
