// The settings numbers: strtoul with base 0 and 32-bit range, on every
// build.
#include <gtest/gtest.h>

#include <cstdint>

#include "application/SettingsNumber.h"

namespace {

TEST(SettingsNumberTest, ReadsLikeA32BitStrtoul) {
  struct Case {
    const char* text;
    std::uint32_t expected;
  };
  const Case cases[] = {
      // Decimal, signs and what follows the digits.
      {"0", 0u},
      {"40", 40u},
      {"+5", 5u},
      {"-1", 4294967295u},
      {"-40", static_cast<std::uint32_t>(-40)},
      {"12px", 12u},
      {"12 34", 12u},
      {"  \t\n\v\f\r7", 7u},
      {"  -0x10", static_cast<std::uint32_t>(-16)},
      // No digits at all.
      {"", 0u},
      {"abc", 0u},
      {"-", 0u},
      {"+", 0u},
      {"+-5", 0u},
      {"- 5", 0u},
      {"\xe3\x83\x84", 0u},
      // Octal.
      {"010", 8u},
      {"0777", 511u},
      {"08", 0u},
      {"09", 0u},
      {"0189", 1u},
      {"037777777777", 4294967295u},
      {"040000000000", 4294967295u},
      {"-010", static_cast<std::uint32_t>(-8)},
      // Hexadecimal.
      {"0x10", 16u},
      {"0X1f", 31u},
      {"0xffffffff", 4294967295u},
      {"0xFF000000", 0xff000000u},
      {"0x80ff0000", 0x80ff0000u},
      {"0x0000000000000001", 1u},
      {"0x100000000", 4294967295u},
      {"0x", 0u},
      {"0xg", 0u},
      {"0x 1", 0u},
      {"-0x1", 4294967295u},
      // Range: out of range saturates, also with a sign; a negated in-range
      // value wraps.
      {"4294967295", 4294967295u},
      {"4294967296", 4294967295u},
      {"18446744073709551616", 4294967295u},
      {"99999999999999999999999999999999", 4294967295u},
      {"-4294967295", 1u},
      {"-4294967296", 4294967295u},
      {"-2147483648", 2147483648u},
      {"-2147483649", 2147483647u},
  };
  for (const Case& c : cases) {
    std::uint32_t actual = parseSettingsNumber(c.text);
    EXPECT_EQ(c.expected, actual) << "text \"" << c.text << "\": expected " << c.expected << ", got " << actual;
  }
}

TEST(SettingsNumberTest, NegativePositionsSurviveAsSigned32Bit) {
  EXPECT_EQ(-40, static_cast<std::int32_t>(parseSettingsNumber("-40")));
  EXPECT_EQ(-2147483647 - 1, static_cast<std::int32_t>(parseSettingsNumber("-2147483648")));
}

}  // namespace
