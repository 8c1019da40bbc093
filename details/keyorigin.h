#pragma once

#include "keys/windowskeys.h"

#include <QString>
#include <Qt>

// What made a key line in keyboard mode: the character typed and how it came, by a
// key, an Alt code or an input method. Kept beside the line so that its tooltip can
// say which key it was and which layout turned it into that character.
struct KeyOrigin
{
    // The platform's code of the key (under X and Wayland: the evdev code + 8);
    // 0 when no key is known, as for Alt codes and input methods.
    quint32 nativeScanCode = 0;
    Qt::KeyboardModifiers modifiers;
    // The character typed, before it became a Windows-1251 code.
    QString typed;
    // Alt held while keypad digits were typed: the number typed, else -1. With a
    // leading 0 it is a Windows-1251 code, otherwise a code of code page 866, as
    // the form reads them; on Windows, a code of the code page Windows composed
    // it in (the input language's ANSI or OEM code page).
    int altCode = -1;
    bool altCodeLeadingZero = false;
    // The character reached the box as text from an input method (a dead key,
    // Compose, IBus, Fcitx), not as a key press; with the code of the dead key let
    // go just before it, where one was (0: none seen).
    bool composed = false;
    quint32 deadKeyScanCode = 0;
    // The device that pressed the key, a number of KeyDevices: two bytes a line,
    // the device's texts kept once. KeyDevices::Unknown when it is not known.
    quint16 device = 0;
    // The code page of the Alt code where the system composed it; 0: the form did.
    int altCodePage = 0;
};

// A character of a key press that Windows' own messages told about.
KeyOrigin windowsKeyOrigin(
    const WindowsKeys::Key &key, Qt::KeyboardModifiers modifiers, char32_t ch);

// A key line explained, one statement a line: the character (what it is in
// Windows-1251, or that it has no code there), then how it came: the key by its
// label on a US keyboard, the Alt code, or the input method; and, where the
// system's layout made of the scanner's keys something else than a US layout
// would, why and what helps; last, the device it came from, or that it is not
// known. Empty when nothing is known about the line.
QString describeKeyOrigin(const KeyOrigin &origin);
