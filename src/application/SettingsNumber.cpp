// A 32-bit strtoul with base 0, written out: the library's own has 64-bit
// range on 64-bit Linux and would wrap "4294967296" to 0 instead of
// saturating.
#include "application/SettingsNumber.h"

namespace {

const std::uint64_t kLargest = UINT32_MAX;

// White space as the C library classifies it in the "C" locale.
bool isWhiteSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// The digit's value, or a value not below any base for anything else.
unsigned digitValue(char c) {
  if (c >= '0' && c <= '9') {
    return static_cast<unsigned>(c - '0');
  }
  if (c >= 'a' && c <= 'z') {
    return static_cast<unsigned>(c - 'a' + 10);
  }
  if (c >= 'A' && c <= 'Z') {
    return static_cast<unsigned>(c - 'A' + 10);
  }
  return 36;
}

// The base a number written at `text` is in, with `text` moved past a "0x"
// prefix. "0x" without a hexadecimal digit behind it is the number 0 followed
// by other text, as strtoul reads it.
unsigned detectBase(const char*& text) {
  if (text[0] != '0') {
    return 10;
  }
  if ((text[1] == 'x' || text[1] == 'X') && digitValue(text[2]) < 16) {
    text += 2;
    return 16;
  }
  return 8;
}

}  // namespace

SettingsNumberReading readSettingsNumber(const char* text) {
  const char* start = text;
  while (isWhiteSpace(*text)) {
    ++text;
  }
  bool negative = *text == '-';
  if (*text == '-' || *text == '+') {
    ++text;
  }
  unsigned base = detectBase(text);

  // Saturate once past 32 bits; the sign does not rescue an overflow.
  std::uint64_t value = 0;
  bool overflow = false;
  std::size_t digitCount = 0;
  for (; digitValue(*text) < base; ++text, ++digitCount) {
    value = value * base + digitValue(*text);
    if (value > kLargest) {
      overflow = true;
      value = kLargest;
    }
  }
  SettingsNumberReading reading{0, base, digitCount, static_cast<std::size_t>(text - start), overflow};
  if (overflow) {
    reading.value = UINT32_MAX;
    return reading;
  }
  std::uint32_t magnitude = static_cast<std::uint32_t>(value);
  reading.value = negative ? static_cast<std::uint32_t>(0u - magnitude) : magnitude;
  return reading;
}

std::uint32_t parseSettingsNumber(const char* text) { return readSettingsNumber(text).value; }
