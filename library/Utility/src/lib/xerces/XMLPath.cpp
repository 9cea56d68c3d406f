// Bounded, hand-written equivalents of the path lookup's sscanf splits; a
// plain "%s" or "%[...]" could write past the buffers, and "%d" has no
// defined result for a number out of range.
#include "lib/xerces/XMLPath.h"

#include <cstring>

namespace lib {
namespace xerces {

namespace {

// White space as the C library classifies it in the "C" locale.
bool isWhiteSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Copies up to (not including) the first `stop` character or the text's end,
// cut at 255 characters; returns where the copy stopped reading.
const char* copyUntil(const char* text, char stop, PathBuffer& buffer) {
  std::size_t length = 0;
  while (text[length] != '\0' && text[length] != stop && length < kPathBufferSize - 1) {
    buffer[length] = text[length];
    ++length;
  }
  buffer[length] = '\0';
  return text + length;
}

// Copies one word (up to white space or the end), cut at 255 characters.
void copyWord(const char* text, PathBuffer& buffer) {
  std::size_t length = 0;
  while (text[length] != '\0' && !isWhiteSpace(text[length]) && length < kPathBufferSize - 1) {
    buffer[length] = text[length];
    ++length;
  }
  buffer[length] = '\0';
}

}  // namespace

bool copyPath(PathBuffer& work, const char* path) {
  std::size_t length = std::strlen(path);
  if (length >= kPathBufferSize) {
    work[0] = '\0';
    return false;
  }
  std::memcpy(work, path, length + 1);
  return true;
}

void splitAtSlash(const char* text, PathBuffer& segment, PathBuffer& remainder) {
  remainder[0] = '\0';
  const char* stop = copyUntil(text, '/', segment);
  if (*stop != '/') {
    return;
  }
  const char* word = stop + 1;
  while (isWhiteSpace(*word)) {
    ++word;
  }
  copyWord(word, remainder);
}

void splitAtColon(const char* text, PathBuffer& name, std::int32_t& index) {
  const char* stop = copyUntil(text, ':', name);
  if (*stop != ':') {
    return;
  }
  const char* number = stop + 1;
  while (isWhiteSpace(*number)) {
    ++number;
  }
  bool negative = *number == '-';
  if (*number == '-' || *number == '+') {
    ++number;
  }
  if (!isDigit(*number)) {
    return;
  }
  // Accumulate the magnitude with a ceiling one above INT32_MAX, enough for
  // both clamps.
  const std::int64_t ceiling = static_cast<std::int64_t>(INT32_MAX) + 1;
  std::int64_t magnitude = 0;
  for (; isDigit(*number); ++number) {
    magnitude = magnitude * 10 + (*number - '0');
    if (magnitude > ceiling) {
      magnitude = ceiling;
    }
  }
  std::int64_t value = negative ? -magnitude : magnitude;
  if (value > INT32_MAX) {
    value = INT32_MAX;
  }
  index = static_cast<std::int32_t>(value);
}

}  // namespace xerces
}  // namespace lib
