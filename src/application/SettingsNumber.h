// The numbers of the settings file (positions, sizes, colours): read as the
// C library's strtoul with base 0 reads them on a system whose unsigned long
// has 32 bits, whatever the width of unsigned long on the build machine.
#pragma once

#include <cstddef>
#include <cstdint>

// How a text was read, for those who must tell the user what became of it
// (the settings checker): the value and how the text was taken.
struct SettingsNumberReading {
  std::uint32_t value;
  unsigned base;            // 8, 10 or 16, as the text's prefix chose it
  std::size_t digitCount;   // digits read, without a "0x" prefix
  std::size_t end;          // where reading stopped: the rest is ignored
  bool beyond32Bits;        // saturated to 4294967295
};

// Skips leading white space, takes an optional "+" or "-", then "0x"/"0X"
// and hexadecimal digits, a leading "0" and octal digits, or decimal digits,
// stopping at the first character that does not belong to the number. Text
// without digits gives 0; a value beyond 32 bits gives 4294967295 (also with
// a "-" sign); a "-" negates modulo 2^32, so "-40" taken as a signed 32-bit
// value is -40.
std::uint32_t parseSettingsNumber(const char* text);

// The same reading, with the details of how it went.
SettingsNumberReading readSettingsNumber(const char* text);
