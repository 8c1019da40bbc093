#include "codes/layouts.h"

namespace {

// The keys of the main block in order, each row from the left: the US layout as
// printed on the keys, and the Russian layout "ru" of xkeyboard-config (the
// standard ЙЦУКЕН layout of Windows and X), without and with Shift. The key
// left of "1" types "ё"; Shift with the digits types !"№;%:?*() on the Russian
// layout; the backslash key types "\" and with Shift "/".
constexpr char16_t usKeys[] = u"`1234567890-=qwertyuiop[]\\asdfghjkl;'zxcvbnm,./"
                              u"~!@#$%^&*()_+QWERTYUIOP{}|ASDFGHJKL:\"ZXCVBNM<>?";
constexpr char16_t ruKeys[] = u"ё1234567890-=йцукенгшщзхъ\\фывапролджэячсмитьбю."
                              u"Ё!\"№;%:?*()_+ЙЦУКЕНГШЩЗХЪ/ФЫВАПРОЛДЖЭЯЧСМИТЬБЮ,";
constexpr int keyCount = int(std::size(usKeys)) - 1;
static_assert(std::size(usKeys) == std::size(ruKeys), "one Russian character per US key");

int indexIn(const char16_t *keys, QChar ch)
{
    for (int i = 0; i < keyCount; ++i) {
        if (keys[i] == ch.unicode())
            return i;
    }
    return -1;
}

} // namespace

namespace Layouts {

QChar russianFromUs(QChar us)
{
    const int i = indexIn(usKeys, us);
    return i < 0 ? us : QChar(ruKeys[i]);
}

QChar usFromRussian(QChar russian)
{
    const int i = indexIn(ruKeys, russian);
    return i < 0 ? russian : QChar(usKeys[i]);
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
