#pragma once

// An upper-case hexadecimal digit: the one rule for what goes into the scan box
// (and for the digits of the USB ids in Windows' device ids, upper-cased first).
// On a code, so that the receive path asks it about each byte without a string.
constexpr bool isHexDigitCode(char16_t code)
{
    return (code >= u'0' && code <= u'9') || (code >= u'A' && code <= u'F');
}
