// The receive path: a byte stream cut into notifications at points the fuzzer
// chooses goes through ScanCom into the real log and scan box. Whatever the cuts,
// there is one character line per received byte but the carriage returns, which
// only arm the commit, and the scan box holds the upper-case hex digits.
//
// Input: records of a two-byte little-endian length and that many bytes of the
// stream; a length past the end takes what is left.
#include "eventlog.h"
#include "hexdigit.h"
#include "main_window.h"
#include "textrule.h"

#include <QApplication>
#include <QLineEdit>

#include <vector>

namespace {

Form1 *form = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_receive";
    static char *argv[] = { name, nullptr };
    new QApplication(argc, argv);
    form = new Form1;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::vector<QString> chunks;
    QByteArray stream;
    for (size_t at = 0; at + 2 <= size;) {
        const size_t wanted = data[at] | (size_t(data[at + 1]) << 8);
        at += 2;
        const size_t length = std::min(wanted, size - at);
        const auto *bytes = reinterpret_cast<const char *>(data + at);
        chunks.push_back(QString::fromLatin1(bytes, qsizetype(length)));
        stream.append(bytes, qsizetype(length));
        at += length;
    }

    form->TimerCOM_Timer(); // disarms a pending commit
    form->CmdClear_Click();
    for (const QString &chunk : chunks)
        form->ScanCom(chunk);

    QStringList lines;
    QString digits;
    for (const char byte : stream) {
        const uchar code = uchar(byte);
        if (code == 13)
            continue;
        lines.append(QStringLiteral("KeyAscii=%1").arg(code));
        if (isHexDigitCode(code))
            digits.append(QChar(code));
    }

    if (form->findChild<EventLog *>(QStringLiteral("List1"))->items() != lines)
        fail("the log is not one character line per received byte");
    if (form->findChild<QLineEdit *>(QStringLiteral("txtSkaner"))->text() != digits)
        fail("the scan box is not the hexadecimal digits received");
    return 0;
}
