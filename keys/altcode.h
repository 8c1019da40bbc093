#pragma once

#include <QString>
#include <Qt>

#include <optional>

// Alt codes as the scanner's home platform types them: Alt held, the code typed
// on the keypad, Alt released types one character. Scanners set to "Alt codes"
// type every character this way, which works whatever keyboard layout is active.
// With a leading 0 the code is a Windows-1251 code, otherwise a code of the DOS
// code page 866. Nothing else on Linux does this, so the form does it itself.
class AltCode
{
public:
    // Whether the form reads Alt codes itself: Windows composes them and delivers
    // the character (keytext_win.cpp), X and Wayland do not (keytext_unix.cpp).
    static const bool Needed;

    struct Typed
    {
        QString text;
        int code = 0;
        bool leadingZero = false;
    };

    // A key pressed; true when it is a digit of an Alt code, which must go no
    // further: the digits themselves type nothing.
    bool press(int key, Qt::KeyboardModifiers modifiers);
    // A key released; when it is Alt ending a complete code, the character typed.
    std::optional<Typed> release(int key);

private:
    bool m_altDown = false;
    bool m_broken = false;
    // The digits typed so far as a number (-1: none), and whether the first was 0.
    int m_code = -1;
    bool m_leadingZero = false;
};
