#include "keyorigin.h"

#include "keytext.h"
#include "uslayout.h"

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

// A character with its Windows-1251 code: «Ф» (212).
QString quoted(const QString &text)
{
    const QList<uint> ucs4 = text.toUcs4();
    const short code = ucs4.isEmpty() ? 0 : windows1251Code(char32_t(ucs4.first()));
    return QStringLiteral("«%1» (%2)").arg(text).arg(code);
}

bool printable(const QString &text)
{
    return !text.isEmpty() && text.at(0).isPrint();
}

} // namespace

QString describeKeyOrigin(const KeyOrigin &origin)
{
    if (origin.altCode >= 0) {
        const QString digits = (origin.altCodeLeadingZero ? QStringLiteral("0") : QString())
            + QString::number(origin.altCode);
        return QStringLiteral("Набран Alt-кодом: Alt+%1 на цифровой клавиатуре, %2.")
            .arg(digits,
                origin.altCodeLeadingZero
                    ? QStringLiteral("с ведущим 0 — код Windows-1251")
                    : QStringLiteral("без ведущего 0 — код кодовой страницы 866 (DOS)"));
    }
    if (origin.nativeScanCode == 0)
        return QString();

    const bool shift = origin.modifiers & Qt::ShiftModifier;
    const UsLayoutKey us = usLayoutKey(origin.nativeScanCode, shift);
    QString text = us.name.isEmpty()
        ? QStringLiteral("Код клавиши %1").arg(origin.nativeScanCode)
        : QStringLiteral("Клавиша %1, код клавиши %2").arg(us.name).arg(origin.nativeScanCode);
    const QString modifiers = modifierNames(origin.modifiers);
    if (!modifiers.isEmpty())
        text += QStringLiteral(", нажата с %1").arg(modifiers);
    text += u'.';

    // A scanner presses keys as a US keyboard would; whatever else the key typed
    // came from the system's layout. Case alone differs with Caps Lock on, which
    // is no wrong layout.
    if (printable(origin.typed) && printable(us.text)
        && origin.typed.toUpper() != us.text.toUpper()) {
        text += QStringLiteral(" Клавиша %1 напечатала %2, а на раскладке США даёт %3: похоже,"
                               " сканер нажимает клавиши как клавиатура США, а в системе включена"
                               " другая раскладка — переключите её на английскую (США) перед"
                               " сканированием или настройте сканер на ввод Alt-кодами.")
                    .arg(us.name, quoted(origin.typed), quoted(us.text));
    }
    return text;
}
