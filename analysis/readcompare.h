#pragma once

#include "readmode.h"

#include <QByteArray>
#include <QStringList>

// The verdict on a read of a known code: an empty list when the read matched
// byte for byte, otherwise one sentence in Russian per difference, named: an
// identifier or ending added, a GS lost or replaced (by what), case inverted,
// letters turned by the keyboard layout, Cyrillic in another encoding, and
// characters missing, extra or changed (where, which).
//
// expected: the content as encoded in the symbol (Cyrillic in UTF-8, GS as 29).
// received: the read as the log has it (serial: the bytes; keyboard: the
// Windows-1251 codes of the typed characters). In keyboard mode the characters
// are compared: Cyrillic typed as its own letters matches its UTF-8 in the
// symbol, since the log keeps each typed letter's Windows-1251 code.
//
// Cheap steps first (parity, layout, Caps Lock, identifier, ending, encoding),
// then an edit script of what is left; where the differing middle parts are too
// long for that (their lengths multiplied past a million), the verdict names the
// first difference only.
QStringList compareReads(const QByteArray &expected, const QByteArray &received, ReadMode mode);
