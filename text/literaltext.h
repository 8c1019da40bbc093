#pragma once

#include <QString>

// Text from outside the tool (a program's name, a device's description, a serial
// number) as it is shown: every character for itself, none acting on the text
// around it. A line break inside a USB product string would start a line of its
// own and pass for another entry, an escape or a direction override would change
// what follows; a control character is shown by its picture from Unicode's Control
// Pictures block instead (line feed "␊", delete "␡"), and the other characters that
// act on their neighbours (C1 controls, bidirectional embeddings, overrides and
// isolates) by the replacement character "�". Markup and "%1" need nothing: the
// texts it goes into are plain text and never formats.
inline QString literalText(QString text)
{
    for (QChar &ch : text) {
        const char16_t code = ch.unicode();
        if (code < 0x20)
            ch = QChar(0x2400 + code);
        else if (code == 0x7F)
            ch = QChar(0x2421);
        else if ((code >= 0x80 && code < 0xA0) || (code >= 0x202A && code <= 0x202E)
            || (code >= 0x2066 && code <= 0x2069))
            ch = QChar(0xFFFD);
    }
    return text;
}
