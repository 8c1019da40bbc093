// The receive path: a byte stream cut into notifications where the fuzzer chooses (records
// of a two-byte little-endian length and that many bytes; the last takes what is left) goes
// through ScanCom into the real log and scan box: one character line per byte but the
// carriage returns, which only arm the commit, and the upper-case hex digits in the box.
#include "form/main_window.h"
#include "log/eventlog.h"
#include "scanbox/scanbox.h"
#include "text/hexdigit.h"
#include "textrule.h"

#include <QApplication>

static Form1 *form = nullptr;

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(*argc, *argv);
    form = new Form1;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    form->TimerCOM_Timer(); // disarms a pending commit
    form->CmdClear_Click();
    QByteArray stream;
    for (size_t at = 0; at + 2 <= size;) {
        const size_t length = std::min(size_t(data[at] | data[at + 1] << 8), size - at - 2);
        const QByteArray chunk(reinterpret_cast<const char *>(data + at + 2), qsizetype(length));
        form->ScanCom(QString::fromLatin1(chunk));
        stream += chunk;
        at += 2 + length;
    }

    QStringList lines;
    QString digits;
    for (const uchar code : stream) {
        if (code != 13)
            lines.append(QStringLiteral("KeyAscii=%1").arg(code));
        if (isHexDigitCode(code))
            digits.append(QChar(code));
    }

    if (form->findChild<EventLog *>(QStringLiteral("List1"))->items() != lines)
        fail("the log is not one character line per received byte");
    if (form->findChild<ScanBox *>(QStringLiteral("txtSkaner"))->text() != digits)
        fail("the scan box is not the hexadecimal digits received");
    return 0;
}
