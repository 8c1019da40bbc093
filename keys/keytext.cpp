#include "keys/keytext.h"

#include "keys/uslayout.h"

QString platformKeyText(
    int key, Qt::KeyboardModifiers modifiers, const QString &text, quint32 nativeScanCode)
{
    // Delete edits; it types no character.
    if (key == Qt::Key_Delete)
        return QString();
#ifdef Q_OS_WIN
    // Windows composes the character itself (control codes with Ctrl, dead keys,
    // Alt codes): what it delivers is what was typed.
    Q_UNUSED(modifiers);
    Q_UNUSED(nativeScanCode);
    return text;
#else
    // Ctrl+Alt stands for AltGr there and types what the layout puts on it.
    if ((modifiers & (Qt::ControlModifier | Qt::AltModifier)) != Qt::ControlModifier)
        return text;
    // A key of a non-Latin layout (Cyrillic "ъ") counts as the US key in its place
    // ("]"), as there, where Ctrl+] types 29 whatever the layout.
    if (key >= 0x100 && key < Qt::Key_Escape) {
        const QString us = usLayoutKey(nativeScanCode, false).text;
        if (us.size() == 1 && us.at(0).unicode() < 0x80)
            key = us.at(0).toUpper().unicode();
    }
    // With Ctrl, only these keys type a character, as that platform's US layout
    // has it: mostly control codes.
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return QString(QChar(key - Qt::Key_A + 1));
    switch (key) {
    case Qt::Key_At: // Ctrl+Shift+2
        return QString(QChar(0));
    case Qt::Key_BracketLeft:
        return QStringLiteral("\x1b");
    case Qt::Key_Backslash:
        return QStringLiteral("\x1c");
    case Qt::Key_BracketRight:
        return QStringLiteral("\x1d"); // GS, the field separator of GS1 codes
    case Qt::Key_AsciiCircum: // Ctrl+Shift+6
        return QStringLiteral("\x1e");
    case Qt::Key_Underscore: // Ctrl+Shift+-
        return QStringLiteral("\x1f");
    case Qt::Key_Escape:
        return QStringLiteral("\x1b");
    case Qt::Key_Space:
        return QStringLiteral(" ");
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QStringLiteral("\n");
    case Qt::Key_Backspace:
        return QStringLiteral("\x7f");
    default:
        return QString();
    }
#endif
}

Qt::KeyboardModifiers keypadModifier(quint32 nativeVirtualKey)
{
#ifdef Q_OS_LINUX
    // XKB_KEY_KP_Space to XKB_KEY_KP_Equal.
    if (nativeVirtualKey >= 0xff80 && nativeVirtualKey <= 0xffbd)
        return Qt::KeypadModifier;
#else
    Q_UNUSED(nativeVirtualKey);
#endif
    return {};
}
