#pragma once

#include <QString>

// What the port and settings texts allow around a number or a letter, said in the
// terms of a regular expression: the ASCII control blanks, NEL, and every Unicode
// separator (which includes the plain space and the no-break space).
inline QString blankPattern()
{
    return QStringLiteral(R"([\t\n\v\f\r\x{85}\p{Z}]*)");
}
