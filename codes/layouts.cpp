#include "codes/layouts.h"

#include "text/uskeyboard.h"

namespace {

// The Russian layout "ru" of xkeyboard-config (the standard ЙЦУКЕН layout of
// Windows and X) on the keys of the main block, by position as the US layout is
// kept (uskeyboard.h), without and with Shift. The key left of "1" types "ё";
// Shift with the digits types !"№;%:?*() on the Russian layout; the backslash key
// types "\" and with Shift "/".
struct RussianKey
{
    quint32 scanCode;
    char16_t plain;
    char16_t shifted;
};
constexpr RussianKey RussianKeys[] = { { 0x29, u'ё', u'Ё' }, { 0x02, u'1', u'!' },
    { 0x03, u'2', u'"' }, { 0x04, u'3', u'№' }, { 0x05, u'4', u';' }, { 0x06, u'5', u'%' },
    { 0x07, u'6', u':' }, { 0x08, u'7', u'?' }, { 0x09, u'8', u'*' }, { 0x0A, u'9', u'(' },
    { 0x0B, u'0', u')' }, { 0x0C, u'-', u'_' }, { 0x0D, u'=', u'+' }, { 0x10, u'й', u'Й' },
    { 0x11, u'ц', u'Ц' }, { 0x12, u'у', u'У' }, { 0x13, u'к', u'К' }, { 0x14, u'е', u'Е' },
    { 0x15, u'н', u'Н' }, { 0x16, u'г', u'Г' }, { 0x17, u'ш', u'Ш' }, { 0x18, u'щ', u'Щ' },
    { 0x19, u'з', u'З' }, { 0x1A, u'х', u'Х' }, { 0x1B, u'ъ', u'Ъ' }, { 0x2B, u'\\', u'/' },
    { 0x1E, u'ф', u'Ф' }, { 0x1F, u'ы', u'Ы' }, { 0x20, u'в', u'В' }, { 0x21, u'а', u'А' },
    { 0x22, u'п', u'П' }, { 0x23, u'р', u'Р' }, { 0x24, u'о', u'О' }, { 0x25, u'л', u'Л' },
    { 0x26, u'д', u'Д' }, { 0x27, u'ж', u'Ж' }, { 0x28, u'э', u'Э' }, { 0x2C, u'я', u'Я' },
    { 0x2D, u'ч', u'Ч' }, { 0x2E, u'с', u'С' }, { 0x2F, u'м', u'М' }, { 0x30, u'и', u'И' },
    { 0x31, u'т', u'Т' }, { 0x32, u'ь', u'Ь' }, { 0x33, u'б', u'Б' }, { 0x34, u'ю', u'Ю' },
    { 0x35, u'.', u',' } };

const RussianKey *russianKeyAt(quint32 scanCode)
{
    for (const RussianKey &key : RussianKeys) {
        if (key.scanCode == scanCode)
            return &key;
    }
    return nullptr;
}

} // namespace

namespace Layouts {

QChar russianFromUs(QChar us)
{
    const UsKeyboard::Place place = UsKeyboard::typing(QString(us));
    const RussianKey *key = russianKeyAt(place.scanCode);
    return key ? QChar(place.shift ? key->shifted : key->plain) : us;
}

QChar usFromRussian(QChar russian)
{
    for (const RussianKey &key : RussianKeys) {
        if (key.plain == russian.unicode() || key.shifted == russian.unicode()) {
            const UsKeyboard::Key *us = UsKeyboard::at(key.scanCode);
            return QLatin1Char((key.plain == russian.unicode() ? us->plain : us->shifted)[0]);
        }
    }
    return russian;
}

bool isRussianOnly(QChar ch)
{
    const char16_t u = ch.unicode();
    return (u >= 0x0410 && u <= 0x044F) || u == 0x0401 || u == 0x0451 || u == 0x2116;
}

QString invertCase(const QString &text)
{
    QString result = text;
    for (QChar &ch : result) {
        if (ch.isLower())
            ch = ch.toUpper();
        else if (ch.isUpper())
            ch = ch.toLower();
    }
    return result;
}

QString keysMeant(const QString &typed, bool russianLayout, bool capsLock)
{
    QString result = capsLock ? invertCase(typed) : typed;
    if (russianLayout) {
        for (QChar &ch : result)
            ch = usFromRussian(ch);
    }
    return result;
}

} // namespace Layouts
