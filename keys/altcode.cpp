#include "keys/altcode.h"

#include "text/codepages.h"

#include <algorithm>

namespace {

// The digit of a keypad key, or -1. With Num Lock off the keypad keys arrive as
// their other meanings (Home for 7, Clear for 5); Alt codes take them as digits
// all the same.
int keypadDigit(int key, Qt::KeyboardModifiers modifiers)
{
    if (!(modifiers & Qt::KeypadModifier))
        return -1;
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return key - Qt::Key_0;
    constexpr int numLockOff[] = { Qt::Key_Insert, Qt::Key_End, Qt::Key_Down, Qt::Key_PageDown,
        Qt::Key_Left, Qt::Key_Clear, Qt::Key_Right, Qt::Key_Home, Qt::Key_Up, Qt::Key_PageUp };
    for (int digit = 0; digit < 10; ++digit) {
        if (numLockOff[digit] == key)
            return digit;
    }
    return -1;
}

bool isModifier(int key)
{
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Meta
        || key == Qt::Key_AltGr || key == Qt::Key_NumLock;
}

} // namespace

bool AltCode::press(int key, Qt::KeyboardModifiers modifiers)
{
    if (key == Qt::Key_Alt) {
        m_altDown = true;
        m_broken = false;
        m_code = -1;
        return false;
    }
    const int digit = keypadDigit(key, modifiers);
    if (digit >= 0 && (modifiers & Qt::AltModifier)) {
        // Alt may have gone down before the window had the focus.
        if (!m_altDown)
            press(Qt::Key_Alt, modifiers);
        if (m_code < 0) {
            m_code = 0;
            m_leadingZero = digit == 0;
        }
        // Any number past 999 is as much past 255: it must not overflow.
        m_code = std::min(m_code * 10 + digit, 1000);
        return true;
    }
    if (m_altDown && !isModifier(key))
        m_broken = true;
    return false;
}

std::optional<AltCode::Typed> AltCode::release(int key)
{
    if (key != Qt::Key_Alt || !m_altDown)
        return std::nullopt;
    m_altDown = false;
    if (m_broken || m_code < 1 || m_code > 255)
        return std::nullopt;
    Typed typed;
    typed.code = m_code;
    typed.leadingZero = m_leadingZero;
    const QChar ch = CodePages::toUnicode(
        typed.leadingZero ? CodePages::Page::Windows1251 : CodePages::Page::Cp866, quint8(m_code));
    // A code that the code page leaves undefined types nothing.
    if (ch.isNull())
        return std::nullopt;
    typed.text = QString(ch);
    return typed;
}
