#pragma once

#include <QChar>
#include <QtGlobal>

// The two single-byte code pages a scanner's bytes and a keyboard's Alt codes are
// read in, as tables of the program's own, so that every build has them, also
// one whose Qt has no ICU: Windows-1251 (the host's code page) and code page 866
// (Alt codes typed without a leading 0). Codes below 0x80 are ASCII in both.
namespace CodePages {

enum class Page { Windows1251, Cp866 };

// The character of a code; a null QChar where the code page assigns none (0x98
// of Windows-1251).
QChar toUnicode(Page page, quint8 code);
// The code of a character, or -1 where the code page has none.
int fromUnicode(Page page, QChar ch);

// The character of a Windows-1251 code; a null QChar for 0x98.
QChar fromCp1251(quint8 code);
// The Windows-1251 code of a character, or -1 when the code page has none.
int toCp1251(QChar ch);
// The code the log keeps for a typed character (the key's KeyAscii): its
// Windows-1251 code, or that of "?" when the code page has none.
quint8 loggedCode(char32_t ch);

} // namespace CodePages
