#include "keys/altcode.h"
#include "keys/keytext.h"

// Windows composes Alt codes itself and delivers the character.
const bool AltCode::Needed = false;

QString platformKeyText(int key, Qt::KeyboardModifiers, const QString &text, quint32)
{
    // Delete edits; it types no character. Otherwise Windows composes the
    // character itself (control codes with Ctrl, dead keys, Alt codes): what it
    // delivers is what was typed.
    return key == Qt::Key_Delete ? QString() : text;
}

Qt::KeyboardModifiers keypadModifier(quint32)
{
    // Qt's Windows key mapper sets the modifier itself.
    return {};
}
