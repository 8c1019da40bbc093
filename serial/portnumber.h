#pragma once

#include <QString>

// The port box's text as a port number: a whole number from 0 to 255, blanks
// around it allowed ("01" is 1). Anything else throws RuntimeError: TypeMismatch
// for a text that is no whole number, Overflow for one past 255.
quint8 portNumberFromText(const QString &text);
