#include "text/uskeyboard.h"

#include <cstring>
#include <iterator>

namespace {

using UsKeyboard::Key;

// Windows' US layout (00000409) as its keyboard layout file has it, in scan-code
// order. The key beside the left Shift of a 102-key keyboard (0x56) types what
// "\" does.
constexpr Key Keys[] = {
    { 0x01, "Escape", "\x1b", "\x1b" }, { 0x02, nullptr, "1", "!" }, { 0x03, nullptr, "2", "@" },
    { 0x04, nullptr, "3", "#" }, { 0x05, nullptr, "4", "$" }, { 0x06, nullptr, "5", "%" },
    { 0x07, nullptr, "6", "^" }, { 0x08, nullptr, "7", "&" }, { 0x09, nullptr, "8", "*" },
    { 0x0A, nullptr, "9", "(" }, { 0x0B, nullptr, "0", ")" }, { 0x0C, nullptr, "-", "_" },
    { 0x0D, nullptr, "=", "+" }, { 0x0E, "BackSpace", "\b", "\b" }, { 0x0F, "Tab", "\t", "\t" },
    { 0x10, nullptr, "q", "Q" }, { 0x11, nullptr, "w", "W" }, { 0x12, nullptr, "e", "E" },
    { 0x13, nullptr, "r", "R" }, { 0x14, nullptr, "t", "T" }, { 0x15, nullptr, "y", "Y" },
    { 0x16, nullptr, "u", "U" }, { 0x17, nullptr, "i", "I" }, { 0x18, nullptr, "o", "O" },
    { 0x19, nullptr, "p", "P" }, { 0x1A, nullptr, "[", "{" }, { 0x1B, nullptr, "]", "}" },
    { 0x1C, "Return", "\r", "\r" }, { 0x1E, nullptr, "a", "A" }, { 0x1F, nullptr, "s", "S" },
    { 0x20, nullptr, "d", "D" }, { 0x21, nullptr, "f", "F" }, { 0x22, nullptr, "g", "G" },
    { 0x23, nullptr, "h", "H" }, { 0x24, nullptr, "j", "J" }, { 0x25, nullptr, "k", "K" },
    { 0x26, nullptr, "l", "L" }, { 0x27, nullptr, ";", ":" }, { 0x28, nullptr, "'", "\"" },
    { 0x29, nullptr, "`", "~" }, { 0x2B, nullptr, "\\", "|" }, { 0x2C, nullptr, "z", "Z" },
    { 0x2D, nullptr, "x", "X" }, { 0x2E, nullptr, "c", "C" }, { 0x2F, nullptr, "v", "V" },
    { 0x30, nullptr, "b", "B" }, { 0x31, nullptr, "n", "N" }, { 0x32, nullptr, "m", "M" },
    { 0x33, nullptr, ",", "<" }, { 0x34, nullptr, ".", ">" }, { 0x35, nullptr, "/", "?" },
    { 0x37, "KP_Multiply", "*", "*" }, { 0x39, "space", " ", " " }, { 0x47, "KP_7", "7", "7" },
    { 0x48, "KP_8", "8", "8" }, { 0x49, "KP_9", "9", "9" }, { 0x4A, "KP_Subtract", "-", "-" },
    { 0x4B, "KP_4", "4", "4" }, { 0x4C, "KP_5", "5", "5" }, { 0x4D, "KP_6", "6", "6" },
    { 0x4E, "KP_Add", "+", "+" }, { 0x4F, "KP_1", "1", "1" }, { 0x50, "KP_2", "2", "2" },
    { 0x51, "KP_3", "3", "3" }, { 0x52, "KP_0", "0", "0" }, { 0x53, "KP_Decimal", ".", "." },
    { 0x56, nullptr, "\\", "|" }, { 0x11C, "KP_Enter", "\r", "\r" },
    { 0x135, "KP_Divide", "/", "/" }, { 0x153, "Delete", "", "" },
};

bool isKeypad(const Key &key)
{
    return key.name && std::strncmp(key.name, "KP_", 3) == 0;
}

} // namespace

namespace UsKeyboard {

const Key *at(quint32 scanCode)
{
    for (const Key &key : Keys) {
        if (key.scanCode == (scanCode & 0x1FF))
            return &key;
    }
    return nullptr;
}

Place typing(const QString &text)
{
    if (text.isEmpty())
        return {};
    for (const bool shift : { false, true }) {
        for (const Key &key : Keys) {
            if (!isKeypad(key) && QLatin1String(shift ? key.shifted : key.plain) == text)
                return { key.scanCode, shift };
        }
    }
    return {};
}

} // namespace UsKeyboard
