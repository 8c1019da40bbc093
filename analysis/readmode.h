#pragma once

#include "text/notation.h"

#include <QtGlobal>

// How a read reached the tool: bytes from the serial port as received, or keys
// typed by a scanner working as a keyboard (each logged as the Windows-1251 code
// of the character it typed).
enum class ReadMode : quint8 {
    Serial,
    Keyboard,
};

// How precise a read's moments are: key events carry whole milliseconds, the
// port's reads microseconds.
constexpr Notation::Stamps stampsOf(ReadMode mode)
{
    return mode == ReadMode::Keyboard ? Notation::Stamps::Millis : Notation::Stamps::Micros;
}
