// The settings number parser against the C library's own strtoull, reduced
// to what a 32-bit strtoul gives: out of range saturates, a negated in-range
// value wraps modulo 2^32. Any difference aborts.
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "application/SettingsNumber.h"

namespace {

bool isWhiteSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

std::uint32_t reference(const char* text) {
  errno = 0;
  unsigned long long result = std::strtoull(text, nullptr, 0);
  if (errno == ERANGE) {
    return UINT32_MAX;
  }
  const char* start = text;
  while (isWhiteSpace(*start)) {
    ++start;
  }
  bool negative = *start == '-';
  // strtoull negated the magnitude in 64 bits; undo that to compare ranges.
  unsigned long long magnitude = negative ? 0ull - result : result;
  if (magnitude > UINT32_MAX) {
    return UINT32_MAX;
  }
  std::uint32_t value = static_cast<std::uint32_t>(magnitude);
  return negative ? 0u - value : value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  if (parseSettingsNumber(text.c_str()) != reference(text.c_str())) {
    std::abort();
  }
  return 0;
}
