#include "keys/uslayout.h"

#include "text/uskeyboard.h"

// Windows' key codes are scan codes, the positions the US table is kept by. A
// table of the program's own rather than the system's: loading a layout adds it
// to the user's layouts for the session, and Wine's functions answer from the
// active layout whatever layout is asked for.
UsLayoutKey usLayoutKey(quint32 keyCode, bool shift)
{
    const UsKeyboard::Key *key = UsKeyboard::at(keyCode);
    if (!key)
        return {};
    return { key->name ? QString::fromLatin1(key->name) : QString::fromLatin1(key->plain).toUpper(),
        QString::fromLatin1(shift ? key->shifted : key->plain) };
}

UsLayoutPlace usLayoutKeyTyping(const QString &text)
{
    const UsKeyboard::Place place = UsKeyboard::typing(text);
    return { place.scanCode, place.shift };
}
