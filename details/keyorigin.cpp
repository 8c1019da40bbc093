#include "details/keyorigin.h"

#include "details/linedetails.h"
#include "devices/keydevices.h"
#include "keys/uslayout.h"
#include "text/codepages.h"
#include "text/notation.h"
#include "text/quoted.h"

#include <QStringList>

namespace {

QString modifierNames(Qt::KeyboardModifiers modifiers)
{
    QStringList names;
    if (modifiers & Qt::ShiftModifier)
        names << QStringLiteral("Shift");
    if (modifiers & Qt::ControlModifier)
        names << QStringLiteral("Ctrl");
    if (modifiers & Qt::AltModifier)
        names << QStringLiteral("Alt");
    if (modifiers & Qt::MetaModifier)
        names << QStringLiteral("Meta");
    return names.join(u'+');
}

// A printable character in quotes with its Windows-1251 code: «Ф» (212).
QString withCode(const QString &text)
{
    return quoted(text) + QStringLiteral(" (")
        + QString::number(CodePages::loggedCode(text.toUcs4().value(0))) + u')';
}

bool printable(const QString &text)
{
    return !text.isEmpty() && text.at(0).isPrint();
}

// A key as a technician finds it on a US keyboard: by its label, keypad keys as
// such: «A», «1» на цифровом блоке, Enter.
QString keyLabel(const QString &usName)
{
    static const struct
    {
        const char *keysym;
        const char *label;
    } named[] = { { "Return", "Enter" }, { "BackSpace", "Backspace" }, { "Escape", "Esc" },
        { "space", "пробел" }, { "KP_Enter", "Enter на цифровом блоке" }, { "KP_Add", "«+»" },
        { "KP_Subtract", "«-»" }, { "KP_Multiply", "«*»" }, { "KP_Divide", "«/»" },
        { "KP_Decimal", "«.»" } };
    for (const auto &key : named) {
        if (usName == QLatin1String(key.keysym))
            return QString::fromUtf8(key.label)
                + (usName.startsWith(u"KP_") && usName != u"KP_Enter"
                        ? QStringLiteral(" на цифровом блоке")
                        : QString());
    }
    if (usName.size() == 1)
        return quoted(usName);
    if (usName.startsWith(u"KP_") && usName.size() == 4 && usName.at(3).isDigit())
        return quoted(usName.mid(3)) + QStringLiteral(" на цифровом блоке");
    return usName;
}

// The character and its code: what the line's number stands for.
QString characterLine(const QString &typed)
{
    const char32_t ch = typed.toUcs4().value(0);
    const quint8 code = CodePages::loggedCode(ch);
    if (code == '?' && ch != U'?') {
        return QStringLiteral("Символ %1 (%2) в Windows-1251 кода не имеет: записан кодом 63, "
                              "как «?»")
            .arg(quoted(typed), Notation::codePoint(ch));
    }
    const QString line = QStringLiteral("Символ: ") + LineDetails::describeCode(code);
    return ch == U'?' ? line + QStringLiteral(" — сам вопросительный знак") : line;
}

QString altCodeLine(const KeyOrigin &origin)
{
    const QString digits = (origin.altCodeLeadingZero ? QStringLiteral("0") : QString())
        + QString::number(origin.altCode);
    // The form reads codes in Windows-1251 and 866; Windows composes them in the
    // code pages of the input language, and says which.
    const bool system = origin.altCodePage != 0;
    const int page = system ? origin.altCodePage : origin.altCodeLeadingZero ? 1251 : 866;
    const QString pageName = origin.altCodeLeadingZero
        ? QStringLiteral("Windows-") + QString::number(page)
        : QStringLiteral("кодовой страницы ") + QString::number(page) + QStringLiteral(" (DOS)");
    QString text = QStringLiteral("Набран Alt-кодом: Alt+") + digits
        + (origin.altCodeLeadingZero ? QStringLiteral(" на цифровом блоке, с ведущим 0 — код ")
                                     : QStringLiteral(" на цифровом блоке, без ведущего 0 — код "))
        + pageName;
    if (system)
        text += origin.altCodeLeadingZero
            ? QStringLiteral(", кодовой страницы ANSI языка ввода; символ составила Windows")
            : QStringLiteral(", кодовой страницы OEM языка ввода; символ составила Windows");
    return text + u'.';
}

const QString LayoutCure = QStringLiteral(
    " — переключите её на английскую (США) перед сканированием или настройте сканер на ввод"
    " Alt-кодами.");

QStringList keyLines(const KeyOrigin &origin)
{
    const bool shift = origin.modifiers & Qt::ShiftModifier;
    const UsLayoutKey us = usLayoutKey(origin.nativeScanCode, shift);
    // A program typing a character that the layout lacks (xdotool does) puts it on
    // a spare key for a moment: the key exists on no keyboard.
    if (us.name.isEmpty())
        return { QStringLiteral("Набран без клавиши раскладки: программа напечатала его, на время"
                                " отдав символ свободной клавише.") };
    const QString label = keyLabel(us.name);
    QString text = QStringLiteral("Клавиша ") + label;
    const QString modifiers = modifierNames(origin.modifiers);
    if (!modifiers.isEmpty())
        text += QStringLiteral(" с ") + modifiers;
    text += QStringLiteral(" (код клавиши %1).").arg(origin.nativeScanCode);

    // A scanner presses keys as a US keyboard would; whatever else the key typed
    // came from the system's layout. Case alone differs with Caps Lock on, which
    // is no wrong layout.
    if (printable(origin.typed) && printable(us.text)
        && origin.typed.toUpper() != us.text.toUpper()) {
        return { text,
            QStringLiteral("Клавиша ") + label + QStringLiteral(" напечатала ")
                + withCode(origin.typed) + QStringLiteral(", а на раскладке США даёт ")
                + withCode(us.text)
                + QStringLiteral(": похоже, сканер нажимает клавиши как клавиатура США, а в"
                                 " системе включена другая раскладка")
                + LayoutCure };
    }
    return { text };
}

QStringList composedLines(const KeyOrigin &origin)
{
    // The letter under the accent, where the character is one: "e" of "é".
    const QString typed = origin.typed;
    const QString parts = typed.size() == 1 && typed.at(0).decompositionTag() == QChar::Canonical
        ? typed.at(0).decomposition()
        : QString();
    const QString base = parts.size() > 1 ? parts.left(1) : QString();
    const UsLayoutKey dead
        = origin.deadKeyScanCode ? usLayoutKey(origin.deadKeyScanCode, false) : UsLayoutKey();
    const UsLayoutPlace basePlace = usLayoutKeyTyping(base);
    const UsLayoutKey baseKey
        = basePlace.keyCode ? usLayoutKey(basePlace.keyCode, basePlace.shift) : UsLayoutKey();

    // Windows composes dead keys in its layout and names the key that ended it;
    // X and Wayland hand the composing to an input method.
    QString text = origin.nativeScanCode != 0
        ? QStringLiteral(
            "Составлен раскладкой Windows из двух нажатий, а не нажатием одной клавиши")
        : QStringLiteral("Пришёл от метода ввода готовым символом, а не нажатием одной клавиши");
    if (!dead.name.isEmpty()) {
        text += QStringLiteral(": составлен мёртвой клавишей ") + keyLabel(dead.name);
        if (!baseKey.name.isEmpty())
            text += QStringLiteral(" и клавишей ") + keyLabel(baseKey.name);
    } else {
        text += QStringLiteral(" (мёртвая клавиша, Compose, IBus, Fcitx)");
    }
    text += u'.';
    // Both keys type their own characters on a US layout: the scanner meant those.
    if (!printable(dead.text) || baseKey.name.isEmpty())
        return { text };
    return { text,
        QStringLiteral("На раскладке США клавиши ") + keyLabel(dead.name) + QStringLiteral(" и ")
            + keyLabel(baseKey.name) + QStringLiteral(" печатают ") + quoted(dead.text)
            + QStringLiteral(" и ") + quoted(base)
            + QStringLiteral(": похоже, в системе включена раскладка с мёртвыми клавишами"
                             " (например, США международная), и она сделала из ")
            + quoted(dead.text + base) + QStringLiteral(" сканера ") + quoted(typed) + LayoutCure };
}

} // namespace

KeyOrigin windowsKeyOrigin(
    const WindowsKeys::Key &key, Qt::KeyboardModifiers modifiers, char32_t ch)
{
    KeyOrigin origin;
    origin.typed = QString::fromUcs4(&ch, 1);
    origin.modifiers = modifiers;
    if (key.altCode >= 0) {
        // Typed by no key of its own: Windows composed it when Alt was let go.
        origin.altCode = key.altCode;
        origin.altCodeLeadingZero = key.altCodeLeadingZero;
        origin.altCodePage = key.altCodePage;
        return origin;
    }
    origin.nativeScanCode = key.scanCode;
    origin.composed = key.deadKeyScanCode != 0;
    origin.deadKeyScanCode = key.deadKeyScanCode;
    return origin;
}

QString describeKeyOrigin(const KeyOrigin &origin)
{
    if (origin.typed.isEmpty())
        return QString();
    QStringList lines { characterLine(origin.typed) };
    if (origin.altCode >= 0)
        lines << altCodeLine(origin);
    else if (origin.composed)
        lines << composedLines(origin);
    else if (origin.nativeScanCode != 0)
        lines << keyLines(origin);
    lines << KeyDevices::describe(origin.device);
    return lines.join(u'\n');
}
