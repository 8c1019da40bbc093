#include "keys/windowskeys.h"

namespace {

// Virtual keys as Windows numbers them.
enum : quint32 {
    VkClear = 0x0C,
    VkShift = 0x10,
    VkControl = 0x11,
    VkMenu = 0x12, // Alt
    VkPrior = 0x21,
    VkNext = 0x22,
    VkEnd = 0x23,
    VkHome = 0x24,
    VkLeft = 0x25,
    VkUp = 0x26,
    VkRight = 0x27,
    VkDown = 0x28,
    VkInsert = 0x2D,
    VkNumpad0 = 0x60,
    VkNumpad9 = 0x69,
};
constexpr qint64 ExtendedKey = 1 << 24;
constexpr qint64 AltHeld = 1 << 29;
constexpr qint64 WasDown = 1 << 30; // a repeat of a held key
// A key waiting for Qt longer than this many presses was delivered elsewhere.
constexpr std::size_t MaxWaiting = 64;

// The digit of a keypad key, or -1. With Num Lock off the keypad keys come as
// their other meanings (End for 1), told apart from the keys of the same name by
// the extended-key flag; Alt codes take them as digits all the same.
int keypadDigit(quint32 vk, qint64 lParam)
{
    if (vk >= VkNumpad0 && vk <= VkNumpad9)
        return int(vk - VkNumpad0);
    if (lParam & ExtendedKey)
        return -1;
    constexpr quint32 numLockOff[]
        = { VkInsert, VkEnd, VkDown, VkNext, VkLeft, VkClear, VkRight, VkHome, VkUp, VkPrior };
    for (int digit = 0; digit < 10; ++digit) {
        if (numLockOff[digit] == vk)
            return digit;
    }
    return -1;
}

} // namespace

WindowsKeys::WindowsKeys(std::function<CodePages()> codePages)
    : m_codePages(std::move(codePages))
{
}

quint64 WindowsKeys::unwrapped(quint32 time)
{
    // The tick count wraps after 2^32 ms; a message may also come a little
    // older than the one before. The step between the two, taken as a signed
    // 32-bit difference, is right either way. The first stamp is set past 2^32,
    // so that no stamp is 0, which means "unstamped".
    if (m_stamp == 0)
        m_stamp = (quint64(1) << 32) + time;
    else
        m_stamp += qint64(qint32(time - m_lastTime));
    m_lastTime = time;
    return m_stamp;
}

void WindowsKeys::message(const Msg &msg)
{
    const quint64 stamp = unwrapped(msg.time);
    const auto scanCode = quint32((msg.lParam >> 16) & 0x1FF);
    switch (msg.message) {
    case KeyDown:
    case SysKeyDown:
        keyDown(msg, scanCode, stamp);
        return;
    case KeyUp:
    case SysKeyUp:
        m_lastWasKeyDown = false;
        if (msg.wParam == VkMenu && m_altDown) {
            // Windows types the character of the code once Alt is let go.
            m_altDown = false;
            m_altTyped = std::exchange(m_altDigits, QString());
            m_altStamp = stamp;
        }
        return;
    case Char:
    case SysChar:
        character(QChar(char16_t(msg.wParam)), scanCode, stamp);
        return;
    case DeadChar:
    case SysDeadChar:
        // Qt drops the press of a key whose WM_DEADCHAR waits behind it: it is
        // no key press of its own, only the first half of the next character.
        if (m_lastWasKeyDown && !m_keys.empty()) {
            m_deadKey = m_keys.back().scanCode;
            m_keys.pop_back();
        }
        m_lastWasKeyDown = false;
        return;
    default:
        return;
    }
}

void WindowsKeys::keyDown(const Msg &msg, quint32 scanCode, quint64 stamp)
{
    const auto vk = quint32(msg.wParam);
    m_altTyped.clear();
    if (vk == VkMenu) {
        // Held Alt repeats; only its first press begins a code.
        if (!(msg.lParam & WasDown)) {
            m_altDown = true;
            m_altDigits.clear();
        }
    } else if (m_altDown || (msg.lParam & AltHeld)) {
        // Alt may have gone down before the window had the keyboard.
        const int digit = keypadDigit(vk, msg.lParam);
        m_altDown = true;
        if (digit >= 0 && m_altDigits.size() < 10) {
            m_altDigits += QChar(u'0' + digit);
        } else if (digit < 0 && vk != VkShift && vk != VkControl) {
            m_altDown = false; // another key: no Alt code
            m_altDigits.clear();
        }
    }
    if (m_keys.size() >= MaxWaiting)
        m_keys.pop_front();
    m_keys.push_back(Key { scanCode, QString(), stamp });
    m_lastWasKeyDown = true;
}

void WindowsKeys::character(QChar ch, quint32 scanCode, quint64 stamp)
{
    if (!m_altTyped.isEmpty()) {
        // The character of an Alt code comes alone, and Qt delivers it as key 0.
        Key key { scanCode, QString(ch), m_altStamp };
        key.altCode = qMin(m_altTyped.toInt(), 99'999);
        key.altCodeLeadingZero = m_altTyped.startsWith(u'0');
        const CodePages pages = m_codePages ? m_codePages() : CodePages();
        key.altCodePage = key.altCodeLeadingZero ? pages.ansi : pages.oem;
        m_altTyped.clear();
        if (m_keys.size() >= MaxWaiting)
            m_keys.pop_front();
        m_keys.push_back(key);
        return;
    }
    // The first WM_CHAR after a key's WM_KEYDOWN is the text Qt gives that key;
    // a surrogate pair's second half joins the first. Any other comes alone.
    const bool lowSurrogate = ch.isLowSurrogate() && !m_keys.empty()
        && m_keys.back().text.size() == 1 && m_keys.back().text.at(0).isHighSurrogate();
    if ((m_lastWasKeyDown || lowSurrogate) && !m_keys.empty()) {
        Key &key = m_keys.back();
        key.text += ch;
        key.deadKeyScanCode = std::exchange(m_deadKey, 0);
        m_lastWasKeyDown = false;
        return;
    }
    if (m_keys.size() >= MaxWaiting)
        m_keys.pop_front();
    m_keys.push_back(
        Key { scanCode, QString(ch), stamp, -1, false, 0, std::exchange(m_deadKey, 0) });
}

std::optional<WindowsKeys::Key> WindowsKeys::take(quint32 scanCode)
{
    for (auto it = m_keys.begin(); it != m_keys.end(); ++it) {
        if (it->scanCode == scanCode) {
            Key key = std::move(*it);
            m_keys.erase(m_keys.begin(), it + 1);
            return key;
        }
    }
    return std::nullopt;
}
