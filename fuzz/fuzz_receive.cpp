// The receive path: a byte stream cut into notifications at points the fuzzer
// chooses goes through ScanCom into the real log and scan box. Whatever the cuts,
// the result must be that of the same stream delivered one byte per
// notification, with one character line per received byte but the carriage
// returns, which only arm the commit.
//
// Input: records of a two-byte little-endian length and that many bytes of the
// stream; a length past the end takes what is left.
#include "eventlog.h"
#include "main_window.h"
#include "scanbox.h"
#include "textrule.h"

#include <QApplication>

#include <vector>

namespace {

struct Window
{
    Form1 form;
    EventLog *log = form.findChild<EventLog *>(QStringLiteral("List1"));
    ScanBox *scan = form.findChild<ScanBox *>(QStringLiteral("txtSkaner"));

    void reset()
    {
        form.TimerCOM_Timer(); // disarms a pending commit
        form.CmdClear_Click();
    }
};

Window *chunked = nullptr;
Window *byteByByte = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_receive";
    static char *argv[] = { name, nullptr };
    new QApplication(argc, argv);
    chunked = new Window;
    byteByByte = new Window;
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

    chunked->reset();
    byteByByte->reset();
    for (const QString &chunk : chunks)
        chunked->form.ScanCom(chunk);
    for (const char byte : stream)
        byteByByte->form.ScanCom(QString(QChar(uchar(byte))));

    QStringList lines;
    QString digits;
    for (const char byte : stream) {
        const uchar code = uchar(byte);
        if (code == 13)
            continue;
        lines.append(QStringLiteral("KeyAscii=%1").arg(code));
        if ((code >= '0' && code <= '9') || (code >= 'A' && code <= 'F'))
            digits.append(QChar(code));
    }

    if (chunked->log->items() != byteByByte->log->items())
        fail("the log depends on how the stream was cut");
    if (chunked->scan->text() != byteByByte->scan->text())
        fail("the scan box depends on how the stream was cut");
    if (chunked->log->items() != lines)
        fail("the log is not one character line per received byte");
    if (chunked->scan->text() != digits)
        fail("the scan box is not the hexadecimal digits received");
    return 0;
}
