// Numbers of an image that the program reads other than they look: it takes
// them as the C library's strtoul with base 0 does, as 32 bits, so "5px" is
// 5, "010" is 8 and "08" is 0.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace checker {

// What the picture step makes of the number, which decides how its value is
// shown and what it means.
enum class NumberUse { X, Y, Size, Color };

// The warning for the attribute `name`="`text`" when the program's reading
// differs from how the text looks, else none.
std::optional<std::string> misreadNumber(const std::string& name, const std::string& text, NumberUse use);

// The value as the use shows it: a signed position or size, or 0xAARRGGBB.
std::string shownValue(std::uint32_t value, NumberUse use);

}  // namespace checker
