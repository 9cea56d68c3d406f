#include "checker/NumberCheck.h"

#include <cstdint>
#include <cstdio>

#include "application/SettingsNumber.h"
#include "checker/EchoedText.h"

namespace checker {

namespace {

// Windows' CW_USEDEFAULT: as a window's x it puts the window at 0, 0.
const std::uint32_t kDefaultPlace = 0x80000000;

bool isWhiteSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// What follows the number, when it is more than white space.
std::string ignoredRest(const std::string& text, std::size_t end) {
  for (std::size_t index = end; index < text.size(); ++index) {
    if (!isWhiteSpace(text[index])) {
      return text.substr(end);
    }
  }
  return "";
}

bool writtenNegative(const std::string& text) { return text.find('-') != std::string::npos; }

// Why the reading differs from the look, or empty when it does not.
std::string reasonFor(const std::string& text, const SettingsNumberReading& reading, NumberUse use) {
  std::string rest = ignoredRest(text, reading.end);
  std::string stop = rest.empty() ? "" : "reading stops at " + quoted(rest);
  if (reading.digitCount == 0) {
    return "it holds no number";
  }
  if (reading.beyond32Bits) {
    return "it is beyond 32 bits";
  }
  bool octalDigitFollows = !rest.empty() && rest[0] >= '0' && rest[0] <= '9';
  if (reading.base == 8 && (reading.digitCount > 1 || octalDigitFollows)) {
    return "a leading 0 makes it octal" + (stop.empty() ? "" : ", and " + stop);
  }
  if (!stop.empty()) {
    return stop;
  }
  if (use == NumberUse::X && reading.value == kDefaultPlace) {
    return "as x that is Windows' CW_USEDEFAULT, and the picture goes to 0, 0 whatever y says";
  }
  if (use != NumberUse::Color && reading.value > INT32_MAX && !writtenNegative(text)) {
    return "positions and sizes are signed 32-bit numbers";
  }
  return "";
}

}  // namespace

std::string shownValue(std::uint32_t value, NumberUse use) {
  if (use == NumberUse::Color) {
    char hexadecimal[16];
    std::snprintf(hexadecimal, sizeof hexadecimal, "0x%08X", static_cast<unsigned>(value));
    return hexadecimal;
  }
  return std::to_string(static_cast<std::int32_t>(value));
}

std::optional<std::string> misreadNumber(const std::string& name, const std::string& text, NumberUse use) {
  SettingsNumberReading reading = readSettingsNumber(text.c_str());
  std::string reason = reasonFor(text, reading, use);
  if (reason.empty()) {
    return std::nullopt;
  }
  return name + "=" + quoted(text) + " is read as " + shownValue(reading.value, use) + ": " + reason;
}

}  // namespace checker
