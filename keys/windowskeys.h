#pragma once

#include <QString>

#include <deque>
#include <functional>
#include <optional>

// What Windows' own key messages tell of each key press, read in the order the
// window's thread takes them from its queue, before Qt turns them into key events
// (nativekeys_win.cpp hands them over). Qt's key events lose four things that the
// messages carry: the key's own time (Qt stamps a key when the thread gets round
// to it), the Alt+keypad digits that composed a character and the code page
// Windows composed it in (Qt sees key 0), the dead key before a composed
// character (Qt drops its press), and a WM_CHAR of 0 (Qt falls back to the key's
// own character, "2" for Ctrl+Shift+2). The logic is the platform's messages only,
// so that it is tried with the sequences Windows sends on any platform.
class WindowsKeys
{
public:
    // The key messages, numbered as Windows numbers them.
    enum Message : quint32 {
        KeyDown = 0x0100,
        KeyUp = 0x0101,
        Char = 0x0102,
        DeadChar = 0x0103,
        SysKeyDown = 0x0104,
        SysKeyUp = 0x0105,
        SysChar = 0x0106,
        SysDeadChar = 0x0107,
    };
    struct Msg
    {
        quint32 message;
        quint64 wParam; // the virtual key, or the character (UTF-16)
        qint64 lParam; // bits 16..24: the scan code with the extended-key flag
        quint32 time; // milliseconds since the system started, wrapping after 49.7 days
    };
    // The input language's code pages: the ANSI one, in which Windows composes
    // Alt+0nnn, and the OEM one, in which it composes Alt+nnn.
    struct CodePages
    {
        int ansi = 0;
        int oem = 0;
    };

    // A key press as Qt delivers it, with what the messages said of it.
    struct Key
    {
        quint32 scanCode = 0; // as Qt's nativeScanCode
        QString text; // the characters Windows typed with it ("\0" too); empty: none
        quint64 stampMs = 0; // its time, carried on past a wrap of the tick count; never 0
        int altCode = -1; // the number typed on the keypad with Alt held, else -1
        bool altCodeLeadingZero = false;
        int altCodePage = 0; // the code page Windows composed the Alt code in
        quint32 deadKeyScanCode = 0; // the dead key that composed the character; 0: none
    };

    // codePages is asked at the end of each Alt code, for the input language then.
    explicit WindowsKeys(std::function<CodePages()> codePages);

    void message(const Msg &msg);
    // The key press that Qt delivers with this scan code: the oldest waiting with
    // it. Those waiting before it were delivered elsewhere (a modal window's), or
    // not at all (Qt merges AltGr's two presses), and are dropped.
    std::optional<Key> take(quint32 scanCode);

private:
    quint64 unwrapped(quint32 time);
    void keyDown(const Msg &msg, quint32 scanCode, quint64 stamp);
    void character(QChar ch, quint32 scanCode, quint64 stamp);

    std::function<CodePages()> m_codePages;
    std::deque<Key> m_keys;
    bool m_lastWasKeyDown = false; // the newest key waits for its WM_CHAR
    quint64 m_stamp = 0;
    quint32 m_lastTime = 0;
    quint32 m_deadKey = 0;
    // Alt held: the keypad digits typed so far (none: empty); after Alt's release,
    // the code waiting for its WM_CHAR.
    bool m_altDown = false;
    QString m_altDigits;
    QString m_altTyped;
    quint64 m_altStamp = 0;
};
