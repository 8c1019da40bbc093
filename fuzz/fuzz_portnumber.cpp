// The port box's text: every text either gives a port number from 0 to 255 or is
// refused with an error the open handler can show, never a crash or a wrong number.
#include "textrule.h"
#include "portnumber.h"
#include "runtimeerror.h"

#include <QRegularExpression>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));

    // The rule on its own: ASCII digits with blanks allowed around them, worth at
    // most 255; leading zeros do not count.
    static const QRegularExpression rule(
        QStringLiteral(R"(\AB0*([0-9]{1,3})B\z)").replace(QLatin1Char('B'), blankPattern()),
        QRegularExpression::UseUnicodePropertiesOption);
    static const QRegularExpression digitsOnly(
        QStringLiteral(R"(\AB[0-9]+B\z)").replace(QLatin1Char('B'), blankPattern()),
        QRegularExpression::UseUnicodePropertiesOption);
    const auto match = rule.match(text);
    const int expected = match.hasMatch() ? match.captured(1).toInt() : -1;

    try {
        const int got = portNumberFromText(text);
        if (expected < 0 || expected > 255)
            fail("accepted a text that is no port number", text);
        if (got != expected)
            fail("read another number than the text says", text);
    } catch (const RuntimeError &error) {
        if (expected >= 0 && expected <= 255)
            fail("refused a port number", text);
        const int wanted = digitsOnly.match(text).hasMatch() ? RuntimeError::Overflow
                                                             : RuntimeError::TypeMismatch;
        if (error.number() != wanted || error.description().isEmpty())
            fail("refused with the wrong error", text);
    }
    return 0;
}
