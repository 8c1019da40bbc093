#include "form/main_window.h"

#include "details/sessionclock.h"
#include "errors/runtimeerror.h"
#include "log/eventlog.h"
#include "logstore/eventlines.h"
#include "scanbox/scanbox.h"
#include "serial/serialcontrol.h"
#include "text/hexdigit.h"

#include <QTimer>

void Form1::MSComm1_OnComm()
{
    // Reached from QSerialPort's read handler: a failure here (a memory shortage
    // in a flood) must leave the port able to signal again.
    untrapped([this] {
        const short code = MSComm1->CommEvent();
        if (code == SerialControl::comEvReceive)
            ScanCom(MSComm1->Input());
    });
}

void Form1::ScanCom(const QString &aa)
{
    // The digits of a chunk reach the scan box in one insert at its end: nothing
    // looks at the box while a chunk is parsed.
    QString digits;
    // One moment for the whole notification: when the form takes it. Its bytes
    // may have come in several reads (Input() joins what the system holds by
    // then), so this is when they were seen, not when each of them arrived.
    const qint64 received = SessionClock::now();
    for (const QChar ch : aa) {
        const char16_t code = ch.unicode();
        if (code == 13) {
            // A carriage return only arms the commit; the characters after it are
            // parsed just as if they had come in a notification of their own
            // before the tick, so how the port splits its input never matters.
            // Every one ends a read of the scanner, armed or not.
            List1->notePortReturn(received);
            if (!TimerCOM->isActive()) {
                List1->noteCarriageReturn(received);
                TimerCOM->start();
            }
            continue;
        }
        if (code > 255) {
            // Not from the port, where one byte is one character; never a digit.
            List1->AddItem(EventLines::characterLine(code));
            continue;
        }
        if (OnlyHexSymb(QStringView(&ch, 1)))
            digits += ch;
        // The log keeps the byte as its code: no string is built per byte.
        List1->AddCharacterLine(quint8(code), received);
    }
    if (!digits.isEmpty()) {
        // At the end of the text, whatever the operator did with the caret or
        // the selection; the caret stays after the new digits.
        txtSkaner->end(false);
        txtSkaner->insert(digits);
    }
}

bool Form1::OnlyHexSymb(QStringView Str)
{
    if (Str.isEmpty())
        return false;
    return isHexDigitCode(Str.front().unicode());
}

void Form1::TimerCOM_Timer()
{
    untrapped([this] {
        TimerCOM->stop();
        List1->AddScanLine(txtSkaner->text());
        List1->Refresh();
        txtSkaner->setText(QString());
    });
}
