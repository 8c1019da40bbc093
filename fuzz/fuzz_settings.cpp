// The serial port's settings text (the speed box followed by ",N,8,1"): accepted exactly
// when the rule below allows it, with the settings it names, else refused with the
// settings error and a description, never a crash.
#include "textrule.h"
#include "errors/runtimeerror.h"
#include "serial/linesettings.h"

#include <optional>

namespace {

// The rule on its own: four parts separated by commas, blanks allowed around each; the
// speed a positive whole number of ASCII digits that fits in 32 bits, the parity one of
// N, E, O, M, S in either case, the data bits 5 to 8 (leading zeros allowed as in the
// speed), the stop bits 1, 1.5 or 2.
std::optional<LineSettings> allowed(const QString &text)
{
    static const QRegularExpression rule
        = textRule(R"(\AB0*([0-9]{1,10})B,B([NEOMSneoms])B,B0*([5-8])B,B(1|1\.5|2)B\z)");
    const auto match = rule.match(text);
    const qlonglong baud = match.captured(1).toLongLong();
    if (!match.hasMatch() || baud < 1 || baud > 2147483647)
        return std::nullopt;
    // Qt numbers parities N 0, E 2, O 3, S 4, M 5, and the stop bits 1 1, 2 2, 1.5 3.
    const QString stop = match.captured(4);
    return LineSettings { qint32(baud),
        QSerialPort::Parity(QStringLiteral("N EOSM").indexOf(match.captured(2).toUpper())),
        QSerialPort::DataBits(match.captured(3).toInt()),
        QSerialPort::StopBits(stop == "1.5" ? 3 : stop.toInt()) };
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<LineSettings> expected = allowed(text);
    try {
        const LineSettings got = parseSettings(text);
        if (!expected)
            fail("accepted a text the rule refuses", text);
        if (got.baudRate != expected->baudRate || got.parity != expected->parity
            || got.dataBits != expected->dataBits || got.stopBits != expected->stopBits)
            fail("read other settings than the text names", text);
    } catch (const RuntimeError &error) {
        if (expected)
            fail("refused a text the rule allows", text);
        if (error.number() != RuntimeError::InvalidSettings || error.description().isEmpty())
            fail("refused without the settings error and its description", text);
    }
    return 0;
}
