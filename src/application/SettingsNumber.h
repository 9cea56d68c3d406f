// The numbers of the settings file (positions, sizes, colours): read as the
// C library's strtoul with base 0 reads them on a system whose unsigned long
// has 32 bits, whatever the width of unsigned long on the build machine.
#pragma once

#include <cstdint>

// Skips leading white space, takes an optional "+" or "-", then "0x"/"0X"
// and hexadecimal digits, a leading "0" and octal digits, or decimal digits,
// stopping at the first character that does not belong to the number. Text
// without digits gives 0; a value beyond 32 bits gives 4294967295 (also with
// a "-" sign); a "-" negates modulo 2^32, so "-40" taken as a signed 32-bit
// value is -40.
std::uint32_t parseSettingsNumber(const char* text);
