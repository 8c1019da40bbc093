#include "codes/findingtext.h"

#include "codes/readtext.h"
#include "gs1/gs1associations.h"
#include "gs1/gs1digitallink.h"
#include "gs1/gs1lint.h"
#include "text/codepages.h"
#include "text/notation.h"

#include <optional>

namespace {

using Kind = Finding::Kind;
using Lint = Gs1::LintError;
using LinkFault = Gs1::DigitalLinkFault::Kind;
using Pairing = Gs1::AssociationFault::Kind;

QString arg(const Finding &f, qsizetype i)
{
    return f.args.value(i);
}

qint64 number(const Finding &f, qsizetype i)
{
    return f.args.value(i).toLongLong();
}

QString at(const Finding &f)
{
    return QStringLiteral(" (позиция %1)").arg(f.position + 1);
}

QString field(const Finding &f)
{
    return f.ai.isEmpty() ? QString() : QStringLiteral(" после поля (") + f.ai + u')';
}

QString characters(qint64 n)
{
    return ReadText::plural(n, "символ", "символа", "символов");
}

QString ms(const Finding &f, qsizetype i, Notation::Stamps stamps)
{
    return Notation::duration(number(f, i), stamps);
}

QString quoted(const Finding &f, qsizetype i, qsizetype most = 24)
{
    return FindingText::excerpt(f.args.value(i), most);
}

QString splits(const Finding &f)
{
    QStringList texts;
    for (const QString &split : f.args) {
        const qsizetype tab = split.indexOf(u'\t');
        texts.append(tab < 0 ? split
                             : QStringLiteral("GS пришёл цифрами Alt-кода «%1»: ")
                                       .arg(split.left(tab))
                                 + split.mid(tab + 1));
    }
    return texts.join(QStringLiteral("; или "));
}

QString identifierWhy(Finding::IdentifierWhy why)
{
    using Why = Finding::IdentifierWhy;
    switch (why) {
    case Why::Gs1Lost:
        return QStringLiteral("без признака GS1 программа, которая ждёт GS1, не узнает в чтении "
                              "данных GS1");
    case Why::Gs1Added:
        return QStringLiteral("программа примет данные за GS1, а в символе их нет");
    case Why::CheckRemoved:
        return QStringLiteral("сканер отбросил контрольный знак, и программа получит данные "
                              "без него");
    case Why::Symbology:
        return QStringLiteral("сканер назвал другую символику, и программа, которая различает "
                              "их, может чтение отвергнуть");
    case Why::Modifier:
        break;
    }
    return QStringLiteral("модификатор говорит программе другое, чем надо");
}

// What each of the dictionary's content checks found, by the fault's name.
QString contentCheck(const Finding &f)
{
    struct Text
    {
        Lint error;
        const char *text;
    };
    static constexpr Text texts[] = {
        { Lint::TooShort, "часть значения короче нужного" },
        { Lint::TooLong, "часть значения длиннее допустимого" },
        { Lint::NotDigit, "здесь должны быть только цифры" },
        { Lint::NotInSet82, "символ вне набора GS1 (набор 82)" },
        { Lint::WrongCheckDigit, "контрольная цифра неверна" },
        { Lint::BadMonth, "нет такого месяца" },
        { Lint::BadDay, "нет такого числа в месяце" },
        { Lint::BadHour, "час больше 23" },
        { Lint::BadMinute, "минут больше 59" },
        { Lint::NotInSet39, "символ вне набора GS1 39" },
        { Lint::NotInSet64, "символ вне набора GS1 64 (base64url)" },
        { Lint::BadPadding, "неверное дополнение «=» в конце" },
        { Lint::TooShortForCheckPair, "слишком коротко для контрольной пары" },
        { Lint::NotInSet32, "символ вне набора контрольной пары" },
        { Lint::WrongCheckPair, "контрольная пара неверна" },
        { Lint::TooShortForCompanyPrefix, "короче префикса компании GS1" },
        { Lint::NoCompanyPrefix, "нет префикса компании GS1" },
        { Lint::NoNonDigit, "должен быть хотя бы один знак, не цифра" },
        { Lint::BadSecond, "секунд больше 59" },
        { Lint::UnknownCountry, "нет такого кода страны (ISO 3166)" },
        { Lint::UnknownCurrency, "нет такого кода валюты (ISO 4217)" },
        { Lint::UnknownMediaType, "нет такого типа носителя" },
        { Lint::UnknownPackageType, "нет такого типа упаковки" },
        { Lint::BadBiologicalSex, "нет такого кода пола (ISO/IEC 5218)" },
        { Lint::IbanTooShort, "IBAN короче нужного" },
        { Lint::IbanTooLong, "IBAN длиннее допустимого" },
        { Lint::IbanBadCharacter, "в IBAN недопустимый символ" },
        { Lint::IbanBadCountry, "IBAN с неизвестной страной" },
        { Lint::WrongIbanCheck, "контрольные цифры IBAN неверны" },
        { Lint::BadLatitude, "широта вне пределов" },
        { Lint::BadLongitude, "долгота вне пределов" },
        { Lint::NotYesNo, "здесь должно быть 0 или 1" },
        { Lint::NotHyphen, "здесь должен быть дефис" },
        { Lint::NotZero, "здесь должен быть 0" },
        { Lint::AllZero, "одни нули недопустимы" },
        { Lint::ZeroPrefix, "не может начинаться с нуля" },
        { Lint::BadWinding, "направление намотки должно быть 0, 1 или 9" },
        { Lint::ImporterIndexLength, "индекс импортёра — один символ" },
        { Lint::BadImporterIndex, "недопустимый индекс импортёра" },
        { Lint::BadPercentSequence, "неверная последовательность %xx" },
        { Lint::PieceOfTotalLength, "номер части и их число разной длины" },
        { Lint::ZeroPiece, "номер части 0" },
        { Lint::ZeroTotal, "число частей 0" },
        { Lint::PieceExceedsTotal, "номер части больше их числа" },
        { Lint::PositionMalformed, "позиция в последовательности не в виде n/m" },
        { Lint::PositionExceedsEnd, "позиция больше длины последовательности" },
        { Lint::CouponFieldMissing, "в купоне не хватает поля" },
        { Lint::CouponFieldBadValue, "в купоне неверное значение поля" },
        { Lint::CouponFieldTruncated, "поле купона обрезано" },
        { Lint::CouponExcessData, "в купоне лишние данные" },
        { Lint::CouponExpiryBeforeStart, "срок купона кончается раньше, чем начинается" },
    };
    QString text;
    const Lint error = f.sub.as<Lint>();
    for (const Text &t : texts) {
        if (error == t.error)
            text = QString::fromUtf8(t.text);
    }
    if (text.isEmpty())
        text = QStringLiteral("не пройдена проверка GS1 ") + arg(f, 0);
    text += QStringLiteral(": ") + quoted(f, 1) + at(f);
    if (arg(f, 2).isEmpty())
        return text;
    if (error == Lint::TooShort)
        text += QStringLiteral(", нужно ") + characters(number(f, 2)) + QStringLiteral(" или больше");
    else if (error == Lint::TooLong)
        text += QStringLiteral(", можно ") + characters(number(f, 2)) + QStringLiteral(" или меньше");
    else
        text += QStringLiteral(", должно быть ") + quoted(f, 2);
    return text;
}

// What is wrong with a GS1 Digital Link URI (GS1 Digital Link: URI syntax).
QString digitalLink(const Finding &f)
{
    // "22,10,21|235": "(22), (10), (21); или (235)".
    const QString order = arg(f, 2).isEmpty()
        ? QStringLiteral("никаких")
        : u'(' + QString(arg(f, 2)).replace(u',', QStringLiteral("), (")).replace(u'|', QStringLiteral("); или ("))
            + u')';
    switch (f.sub.as<LinkFault>()) {
    case LinkFault::NoPrimaryKey:
        return QStringLiteral("в пути ссылки GS1 Digital Link нет первичного ключа (01, 00, 414 и "
                              "других), а без него путь — не ссылка GS1");
    case LinkFault::NotQualifier:
        return QStringLiteral("(%1) в пути ссылки GS1 Digital Link не уточняет ключ (%2): его "
                              "уточнения — %3")
            .arg(f.ai, arg(f, 1), order);
    case LinkFault::QualifierOutOfOrder:
        return QStringLiteral("(%1) в пути ссылки GS1 Digital Link не на своём месте: уточнения "
                              "ключа (%2) идут в таком порядке: %3")
            .arg(f.ai, arg(f, 1), order);
    case LinkFault::UnknownAi:
        return quoted(f, 0) + QStringLiteral(" в ссылке GS1 Digital Link — не идентификатор применения");
    case LinkFault::NotAttribute:
        return QStringLiteral("(%1) не может стоять в запросе ссылки GS1 Digital Link").arg(f.ai);
    case LinkFault::BadPercentEncoding:
        return QStringLiteral("неверная последовательность %xx в ссылке: ") + quoted(f, 0);
    case LinkFault::EmptyValue:
        return QStringLiteral("у (%1) в ссылке GS1 Digital Link пустое значение").arg(f.ai);
    case LinkFault::SchemeCase:
        return QStringLiteral("схема ссылки GS1 Digital Link — http или https целиком строчными "
                              "или целиком прописными буквами, а не ") + quoted(f, 0);
    case LinkFault::ZoneIdentifier:
        return QStringLiteral("в адресе IPv6 ссылки указана зона (%25…): она значит что-то только "
                              "на одной машине, и ссылка GS1 Digital Link её не допускает");
    case LinkFault::TrailingSlash:
        return QStringLiteral("путь ссылки GS1 Digital Link не может кончаться знаком «/»");
    case LinkFault::QualifierInQuery:
        return QStringLiteral("(%1) уточняет ключ (%2) и должно стоять в пути ссылки GS1 Digital "
                              "Link, а не в запросе")
            .arg(f.ai, arg(f, 1));
    case LinkFault::LegacyGtin:
        return QStringLiteral("GTIN ") + quoted(f, 0)
            + QStringLiteral(" в ссылке GS1 Digital Link — устаревшая форма: GS1 теперь требует 14 "
                             "цифр; здесь он дополнен нулями слева");
    case LinkFault::Repeated:
        break;
    }
    return QStringLiteral("(%1) в ссылке GS1 Digital Link дважды").arg(f.ai);
}

QString association(const Finding &f)
{
    switch (f.sub.as<Pairing>()) {
    case Pairing::Missing:
        return QStringLiteral("поле (%1) требует поля (%2), а его нет")
            .arg(f.ai,
                QString(arg(f, 1)).replace(u',', QStringLiteral("), или (")).replace(u'+', QStringLiteral(") с (")));
    case Pairing::Excluded:
        return QStringLiteral("поля (%1) и (%2) не ставят вместе").arg(f.ai, arg(f, 0));
    case Pairing::Repeated:
        break;
    }
    return QStringLiteral("поле (%1) дважды, с разными значениями").arg(f.ai);
}

QString gsReplacedBy(const Finding &f)
{
    switch (f.sub.as<Finding::GsReplacement>()) {
    case Finding::GsReplacement::AltDigits:
        return QStringLiteral("цифры Alt-кода ") + quoted(f, 0)
            + QStringLiteral(" (Alt-код GS не стал символом)");
    case Finding::GsReplacement::Text:
        return QStringLiteral("текст ") + quoted(f, 0);
    case Finding::GsReplacement::Character:
        break;
    }
    const QString received = arg(f, 0);
    if (received.size() == 1)
        return QStringLiteral("символ ") + FindingText::character(received[0]);
    return QStringLiteral("символы ") + quoted(f, 0);
}

} // namespace

namespace FindingText {

QString excerpt(QStringView text, qsizetype most)
{
    const QStringView part = text.left(most);
    const QString cut = text.size() > most ? QStringLiteral("…") : QString();
    QStringList names;
    for (const QChar ch : part) {
        const int code = CodePages::toCp1251(ch);
        const QString name = code >= 0 ? ReadText::nameOf(quint8(code)) : QString();
        if (name.isEmpty() || code == 0x20) {
            names.clear();
            break;
        }
        names.append(name);
    }
    if (!names.isEmpty())
        return names.join(u' ') + cut;
    return u'«' + ReadText::visibleText(part) + cut + u'»';
}

QString character(QChar ch)
{
    const int code = CodePages::toCp1251(ch);
    const QString hexCode
        = code >= 0 ? Notation::hexByte(quint8(code)) : Notation::codePoint(ch.unicode());
    const QString name = code >= 0 ? ReadText::nameOf(quint8(code)) : QString();
    if (!name.isEmpty())
        return name + QStringLiteral(" (") + hexCode + u')';
    return u'«' + QString(ch) + QStringLiteral("» (") + hexCode + u')';
}

} // namespace FindingText

namespace {

// How the line and the keys delivered the codes, and what the scanner sends around them.
std::optional<QString> deliverySentence(const Finding &f)
{
    switch (f.kind) {
    case Kind::Parity:
        return QStringLiteral("байты пришли с битом чётности: сканер передаёт 7 бит с контролем "
                              "чётности (%1), а линия настроена на 8N1 — настройте сканер на 8N1")
            .arg(arg(f, 0));
    case Kind::RussianLayout:
        return QStringLiteral("клавиши набраны в русской раскладке вместо английской: пришло %1, "
                              "сканер имел в виду %2")
            .arg(quoted(f, 0, 16), quoted(f, 1, 16));
    case Kind::CapsLock:
        return QStringLiteral("регистр всех букв обращён: похоже, включён Caps Lock");
    case Kind::Utf8PerKey:
        return QStringLiteral("текст UTF-8 пришёл по байту на клавишу: пришло %1, имелось в виду %2")
            .arg(quoted(f, 0, 16), quoted(f, 1, 40));
    case Kind::Utf8AsCp1251:
        return QStringLiteral("кириллица пришла в Windows-1251 (байт на букву), а в символе она в "
                              "UTF-8: %1 вместо %2 (%3)")
            .arg(arg(f, 0), arg(f, 1), quoted(f, 2));
    case Kind::QuestionMarks:
        return QStringLiteral("буквы не из ASCII пришли знаками «?»: %1 вместо %2")
            .arg(quoted(f, 0), quoted(f, 1));
    case Kind::KeysFromDevices:
        // The devices' names are outside text: joined, never used as a format.
        return (f.args.size() == 2 ? QStringLiteral("клавиши чтения пришли с двух устройств: ")
                                   : QStringLiteral("клавиши чтения пришли с ")
                       + ReadText::plural(f.args.size(), "устройства", "устройств", "устройств")
                       + QStringLiteral(": "))
            + f.args.join(QStringLiteral(", "))
            + QStringLiteral(" — похоже, в чтение попали клавиши не со сканера");
    case Kind::IdentifierRight:
        return QStringLiteral("идентификатор %1 (верный для %2)").arg(arg(f, 0), arg(f, 1));
    case Kind::IdentifierWrong:
        return QStringLiteral("идентификатор %1 (%2) вместо %3 (%4): %5")
            .arg(arg(f, 0), arg(f, 2), arg(f, 1), arg(f, 3),
                identifierWhy(f.sub.as<Finding::IdentifierWhy>()));
    case Kind::IdentifierMissing:
        return QStringLiteral("нет идентификатора символики, а для этого кода нужен %1 (%2): без "
                              "него программа не отличит данные GS1 от простого текста")
            .arg(arg(f, 0), arg(f, 1));
    case Kind::IdentifierAdded:
        return QStringLiteral("идентификатор %1 (%2)").arg(arg(f, 0), arg(f, 1));
    case Kind::LeadingGs:
        return QStringLiteral("GS в начале (так сканер передаёт FNC1 первой позиции — признак "
                              "данных GS1)");
    case Kind::Prefix:
        return QStringLiteral("префикс ") + quoted(f, 0);
    case Kind::SuffixAdded:
        return QStringLiteral("окончание ") + arg(f, 0);
    case Kind::SuffixMissing:
        return QStringLiteral("нет окончания ") + arg(f, 0);
    case Kind::SuffixOther:
        return QStringLiteral("окончание %1 вместо %2").arg(arg(f, 0), arg(f, 1));
    default:
        return std::nullopt;
    }
}

// How the data differ from the code, and the read's state.
std::optional<QString> differenceSentence(const Finding &f, Notation::Stamps stamps)
{
    switch (f.kind) {
    case Kind::GsLost:
        return QStringLiteral("потерян GS") + field(f) + at(f);
    case Kind::GsReplaced:
        return QStringLiteral("GS") + field(f) + QStringLiteral(" заменён на ") + gsReplacedBy(f)
            + at(f);
    case Kind::Missing:
        return QStringLiteral("не хватает ") + quoted(f, 0) + at(f);
    case Kind::Extra:
        if (f.position == 0)
            return QStringLiteral("в начале добавлено ") + quoted(f, 0);
        if (number(f, 1) == f.position)
            return QStringLiteral("в конце добавлено ") + quoted(f, 0);
        return QStringLiteral("лишнее %1 после позиции %2").arg(quoted(f, 0), QString::number(f.position));
    case Kind::Changed:
        return QStringLiteral("вместо %1 пришло %2").arg(quoted(f, 0), quoted(f, 1)) + at(f);
    case Kind::CaseInverted:
        return QStringLiteral("регистр букв обращён: %1 вместо %2").arg(quoted(f, 1), quoted(f, 0))
            + at(f);
    case Kind::LayoutTurned:
        return QStringLiteral("символы изменены раскладкой клавиатуры: %1 вместо %2")
                   .arg(quoted(f, 1), quoted(f, 0))
            + at(f);
    case Kind::MoreDifferences:
        return QStringLiteral("…и ещё ")
            + ReadText::plural(number(f, 0), "отличие", "отличия", "отличий");
    case Kind::DivergesFrom:
        return QStringLiteral("чтение расходится с кодом с позиции %1: %2 вместо %3")
            .arg(QString::number(f.position + 1), characters(number(f, 0)), arg(f, 1));
    case Kind::Cut:
        return (f.ai.isEmpty() ? QStringLiteral("обрезано") : QStringLiteral("обрезано после поля (") + f.ai + u')')
            + QStringLiteral(": %1 из %2").arg(arg(f, 0), characters(number(f, 1)));
    case Kind::OtherCode: {
        QString text = QStringLiteral("прочитан другой код");
        if (!arg(f, 0).isEmpty())
            text += QStringLiteral(" — ") + arg(f, 0)
                + (arg(f, 1).startsWith(u']') ? QStringLiteral(" (по идентификатору %1)").arg(arg(f, 1))
                                              : QStringLiteral(" (по виду данных)"));
        return text + QStringLiteral(": ") + quoted(f, 2, 40);
    }
    case Kind::DoubleRead:
        return QStringLiteral("то же чтение ещё раз через %1 после предыдущего: сканер прочитал "
                              "код дважды")
            .arg(ms(f, 0, stamps));
    case Kind::JoinedRead:
        return QStringLiteral("в одном чтении два: сначала этот код, потом с позиции %1 — %2")
            .arg(QString::number(f.position + 1), quoted(f, 0, 40));
    case Kind::LikelyBoundary:
        return QStringLiteral("пауза %1 перед позицией %2 много длиннее остальных (наибольшая из "
                              "них %3): похоже, здесь одно чтение кончилось и началось другое")
            .arg(ms(f, 0, stamps), QString::number(f.position + 1), ms(f, 1, stamps));
    case Kind::MayContinue:
        return QStringLiteral("Чтение ещё может продолжиться: пауза после его последнего символа "
                              "пока короче той, что его закончила бы.");
    default:
        return std::nullopt;
    }
}

// What a GS1 field breaks or holds.
std::optional<QString> fieldSentence(const Finding &f)
{
    switch (f.kind) {
    case Kind::TooShort:
        return number(f, 1) == number(f, 2)
            ? QStringLiteral("короче нужного: %1 вместо %2").arg(arg(f, 0), arg(f, 1))
            : QStringLiteral("короче нужного: %1, а нужно не меньше %2").arg(arg(f, 0), arg(f, 1));
    case Kind::TooLong:
        return QStringLiteral("длиннее допустимых %1: %2")
            .arg(ReadText::plural(number(f, 1), "символа", "символов", "символов"), arg(f, 0));
    case Kind::NotDigits:
        return QStringLiteral("здесь должны быть только цифры");
    case Kind::OutsideSet82: {
        QStringList named;
        for (const QChar ch : arg(f, 0))
            named.append(FindingText::character(ch));
        return QStringLiteral("символ вне набора GS1 (набор 82): ") + named.join(QStringLiteral(", "));
    }
    case Kind::CheckDigitRight:
        return QStringLiteral("контрольная цифра верна");
    case Kind::CheckDigitWrong:
        return QStringLiteral("контрольная цифра неверна, должна быть ") + arg(f, 0);
    case Kind::Date:
        return QStringLiteral("дата: ") + arg(f, 0);
    case Kind::DateDayZero:
        return QStringLiteral("дата: день 00 — конец месяца, %1.%2").arg(arg(f, 0), arg(f, 1));
    case Kind::DateNoMonth:
        return QStringLiteral("дата неверна: месяца %1 нет").arg(arg(f, 0));
    case Kind::DateNoDay:
        return QStringLiteral("дата неверна: в %1 нет %2-го числа").arg(arg(f, 0), arg(f, 1));
    case Kind::ContentCheck:
        return contentCheck(f);
    case Kind::Association:
        return association(f);
    case Kind::HourTooLarge:
        return QStringLiteral("час больше 23");
    case Kind::MinuteTooLarge:
        return QStringLiteral("минут больше 59");
    case Kind::UnknownAi:
        return QStringLiteral("на позиции %1 нет известного идентификатора применения: %2")
            .arg(QString::number(f.position + 1), quoted(f, 0));
    default:
        return std::nullopt;
    }
}

// How GS1 fields are split, and what marking codes and digits alone hold.
std::optional<QString> structureSentence(const Finding &f)
{
    switch (f.kind) {
    case Kind::FieldLimit:
        return QStringLiteral("разобраны первые %1 полей, дальше %2 не разбирались")
            .arg(arg(f, 0), characters(number(f, 1)));
    case Kind::TwoGs:
        return QStringLiteral("два GS подряд") + at(f);
    case Kind::SeparatorText:
        return QStringLiteral("вместо GS пришёл текст ") + quoted(f, 0) + at(f);
    case Kind::NoGsAfterField:
        return QStringLiteral("после поля (%1) нет GS: по длине поля (%2) дальше идёт %3")
            .arg(f.ai, characters(number(f, 0)), quoted(f, 1, 8));
    case Kind::FieldTooLong:
        return QStringLiteral("поле (%1) длиннее допустимого: похоже, потерян GS, а где кончается "
                              "поле — по длинам не понять")
            .arg(f.ai);
    case Kind::AmbiguousBoundary:
        return QStringLiteral("поле (%1) не отделено GS от следующего, граница неоднозначна; по "
                              "длинам возможно: ")
                   .arg(f.ai)
            + splits(f);
    case Kind::WithNext:
        return QStringLiteral("возможно, вместе со следующим полем: см. замечания");
    case Kind::GsAfterFixed:
        return QStringLiteral("GS после поля (%1) фиксированной длины — допустим").arg(f.ai);
    case Kind::Gs1WithoutFnc1:
        return QStringLiteral("данные GS1 пришли с идентификатором %1 (%2): символ напечатан без "
                              "FNC1 в начале, и программа, которая ждёт GS1 (]C1, ]d2, ]Q3), "
                              "может его отвергнуть")
            .arg(arg(f, 0), arg(f, 1));
    case Kind::DigitalLink:
        return digitalLink(f) + at(f);
    case Kind::UriLayout:
        return QStringLiteral("ссылка набрана в русской раскладке: знаки %1 пришли как %2, и "
                              "программа не узнает в чтении адреса")
                   .arg(quoted(f, 1), quoted(f, 0))
            + at(f);
    case Kind::EciDesignator:
        return QStringLiteral("указатель кодировки ECI %1 снят перед разбором данных").arg(quoted(f, 0))
            + at(f);
    case Kind::StructuredAppendPart:
        return QStringLiteral("символ — одна часть составного сообщения: поля, которых требуют "
                              "его поля, могут быть в других частях, и здесь их нехватка не "
                              "проверялась");
    case Kind::MarkingLength:
        return QStringLiteral("в коде маркировки %1 вместо %2").arg(characters(number(f, 0)), arg(f, 1));
    case Kind::MarkingIdentificationOnly:
        return QStringLiteral("пришёл только код идентификации: код проверки после GS не дошёл "
                              "(или его нет в символе)");
    case Kind::MarkingCut:
        return QStringLiteral("поле (%1) обрезано: %2 вместо %3 — код маркировки дошёл не весь")
            .arg(f.ai, characters(number(f, 0)), arg(f, 1));
    case Kind::MarkingFieldLength:
        return QStringLiteral("поле (%1) кода маркировки: %2 вместо %3")
            .arg(f.ai, characters(number(f, 0)), arg(f, 1));
    case Kind::DigitsCheckRight:
        return QStringLiteral("как %1: контрольная цифра верна").arg(arg(f, 0));
    case Kind::DigitsCheckWrong:
        return QStringLiteral("как %1: контрольная цифра неверна, должна быть %2")
            .arg(arg(f, 0), arg(f, 1));
    case Kind::ItfCheckDigitStripped:
        return QStringLiteral("как ITF-14 без контрольной цифры: сканер её не передал, она была "
                              "бы %1")
            .arg(arg(f, 0));
    default:
        return std::nullopt;
    }
}

} // namespace

namespace FindingText {

QString sentence(const Finding &f, Notation::Stamps stamps)
{
    if (auto text = deliverySentence(f))
        return *text;
    if (auto text = differenceSentence(f, stamps))
        return *text;
    if (auto text = fieldSentence(f))
        return *text;
    return structureSentence(f).value_or(QString());
}

} // namespace FindingText
