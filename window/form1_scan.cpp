#include "main_window.h"

#include "eventlines.h"
#include "eventlog.h"
#include "scanbox.h"
#include "serialcontrol.h"

#include <QLineEdit>
#include <QTimer>

#include <array>

namespace {

// Every byte as a one-character text, made once: the receive path asks
// OnlyHexSymb about each byte without building a string for it.
const std::array<QString, 256> &byteCharacters()
{
    static const std::array<QString, 256> characters = [] {
        std::array<QString, 256> made;
        for (int code = 0; code < 256; ++code)
            made[std::size_t(code)] = QString(QChar(code));
        return made;
    }();
    return characters;
}

} // namespace

void Form1::MSComm1_OnComm()
{
    const short code = MSComm1->CommEvent();
    if (code == SerialControl::comEvReceive)
        ScanCom(MSComm1->Input());
}

void Form1::ScanCom(const QString &aa)
{
    const auto &characters = byteCharacters();
    // The digits of a chunk reach the scan box in one insert at its end: nothing
    // looks at the box while a chunk is parsed.
    QString digits;
    for (const QChar ch : aa) {
        const char16_t code = ch.unicode();
        if (code == 13) {
            // A carriage return only arms the commit; the characters after it are
            // parsed just as if they had come in a notification of their own
            // before the tick, so how the port splits its input never matters.
            if (!TimerCOM->isActive())
                TimerCOM->start();
            continue;
        }
        if (code > 255) {
            // Not from the port, where one byte is one character; never a digit.
            List1->AddItem(QStringLiteral("KeyAscii=") + QString::number(code));
            continue;
        }
        if (OnlyHexSymb(characters[code]))
            digits += ch;
        // The log's own shared copy of the line: no string is built per byte.
        List1->AddItem(EventLines::characterLine(code));
    }
    if (!digits.isEmpty()) {
        // At the end of the text, whatever the operator did with the caret or
        // the selection; the caret stays after the new digits.
        txtSkaner->end(false);
        txtSkaner->insert(digits);
    }
}

bool Form1::OnlyHexSymb(const QString &Str)
{
    if (Str.isEmpty())
        return false;
    const char16_t code = Str.front().unicode();
    return (code >= u'0' && code <= u'9') || (code >= u'A' && code <= u'F');
}

void Form1::TimerCOM_Timer()
{
    TimerCOM->stop();
    List1->AddItem(txtSkaner->text());
    List1->Refresh();
    txtSkaner->setText(QString());
}
