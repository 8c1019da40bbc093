#include "keytext.h"

#include "readtext.h"

// platformKeyText() and keypadModifier() are each platform's own: keytext_unix.cpp
// (X and Wayland), keytext_win.cpp.

quint8 windows1251Code(char32_t ch)
{
    return ReadText::loggedCode(ch);
}
