#pragma once

#include <QString>
#include <Qt>

// What made a key line in keyboard mode: the key that was pressed and how it
// became the typed character. Kept beside the line so that its tooltip can say
// which key it was and which layout turned it into that character.
struct KeyOrigin
{
    // The platform's code of the key (under X and Wayland: the evdev code + 8);
    // 0 when unknown, as for keys made up by a program.
    quint32 nativeScanCode = 0;
    Qt::KeyboardModifiers modifiers;
    // The character the key typed.
    QString typed;
    // Alt held while keypad digits were typed: the number typed, else -1. With a
    // leading 0 it is a Windows-1251 code, otherwise a code of code page 866.
    int altCode = -1;
    bool altCodeLeadingZero = false;
};

// The key behind a key line, in words, for its tooltip; empty when nothing is
// known about it.
QString describeKeyOrigin(const KeyOrigin &origin);
