// The port box's text: every text either gives a port number from 0 to 255 or is
// refused with an error the open handler can show, never a crash or a wrong number.
#include "textrule.h"
#include "errors/runtimeerror.h"
#include "serial/portnumber.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    // The rule on its own: ASCII digits with blanks allowed around them, worth at most
    // 255; leading zeros do not count. More digits are an overflow, anything else no number.
    static const QRegularExpression rule = textRule(R"(\AB0*([0-9]{1,3})B\z)");
    static const QRegularExpression digitsOnly = textRule(R"(\AB[0-9]+B\z)");
    const auto match = rule.match(text);
    const int expected = match.hasMatch() ? match.captured(1).toInt() : -1;
    try {
        if (portNumberFromText(text) != expected)
            fail(expected > 255 || expected < 0 ? "accepted a text that is no port number"
                                                : "read another number than the text says", text);
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
