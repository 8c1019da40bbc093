#pragma once

#include <QString>

// One GS1 application identifier: the digits that name a field of a GS1
// element string and the shape of the data that follows.
struct Gs1Ai
{
    const char *ai = nullptr; // "01", "310n" (n: any digit, the decimal places)
    const char *format = nullptr; // as GS1 writes it: "N14", "X..20", "N3+X..9"
    const char *name = nullptr; // in Russian
    int checkDigits = 0; // the first so many digits end in a GS1 check digit
    int checkFrom = 0; // of which the check digit's number starts here (8003: after its "0")
    bool date = false; // the value starts with a date YYMMDD
};

namespace Gs1Ais {

// The identifier that the text starts with (two to four digits), or one with a
// null ai.
Gs1Ai find(QStringView text);
// The length of identifier and data together when the first two digits make a
// field of predefined length (which needs no GS after it); 0 otherwise.
int predefinedLength(QStringView text);
// True for a character of the GS1 AI encodable character set 82.
bool inSet82(QChar ch);
// True for a character of the GS1 AI encodable character set 39.
bool inSet39(QChar ch);

} // namespace Gs1Ais
