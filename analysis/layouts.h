#pragma once

#include <QChar>
#include <QString>

// The US (QWERTY) and Russian (ЙЦУКЕН) keyboard layouts key by key: a scanner
// working as a keyboard sends keys meant for the US layout, and under a Russian
// layout the same keys type other characters ("]d2" arrives as "ъв2").
namespace Layouts {

// The character the same key (and Shift state) types on the Russian layout; the
// character itself when the key types the same on both, or when it is no key of
// the main block.
QChar russianFromUs(QChar us);
// The other way: what the key that typed this on the Russian layout types on the
// US layout.
QChar usFromRussian(QChar russian);
// True for a character only the Russian layout types (Cyrillic letters, "№").
bool isRussianOnly(QChar ch);

// What a scanner meant by the keys that typed this text: under the Russian
// layout each character goes back to its US key; with Caps Lock on, every letter
// the keys typed had its case inverted, so it is inverted back first.
QString keysMeant(const QString &typed, bool russianLayout, bool capsLock);
// Letters with their case inverted, everything else unchanged.
QString invertCase(const QString &text);

} // namespace Layouts
