#include "core/Text.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

const char32_t kReplacementCharacter = 0xFFFD;

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the sequence a lead byte starts and the smallest code point
// it may encode (anything below is an overlong form); 0 for a byte that
// cannot start a sequence.
std::size_t sequenceLength(unsigned char lead, char32_t& minimum) {
  if (lead < 0x80) {
    minimum = 0;
    return 1;
  }
  if (lead >= 0xC2 && lead <= 0xDF) {
    minimum = 0x80;
    return 2;
  }
  if (lead >= 0xE0 && lead <= 0xEF) {
    minimum = 0x800;
    return 3;
  }
  if (lead >= 0xF0 && lead <= 0xF4) {
    minimum = 0x10000;
    return 4;
  }
  return 0;
}

// Reads one code point at `position`; on an ill-formed sequence gives
// U+FFFD and consumes the bytes up to the first one that does not belong.
char32_t readCodePoint(const unsigned char* text, std::size_t length, std::size_t& position, bool& wellFormed) {
  char32_t minimum = 0;
  std::size_t size = sequenceLength(text[position], minimum);
  if (size == 0) {
    ++position;
    wellFormed = false;
    return kReplacementCharacter;
  }
  char32_t codePoint = size == 1 ? text[position] : text[position] & (0x7F >> size);
  std::size_t next = position + 1;
  for (; next < position + size; ++next) {
    if (next >= length || !isContinuation(text[next])) {
      position = next;
      wellFormed = false;
      return kReplacementCharacter;
    }
    codePoint = (codePoint << 6) | (text[next] & 0x3F);
  }
  position = next;
  if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
    wellFormed = false;
    return kReplacementCharacter;
  }
  return codePoint;
}

void appendUtf16(char32_t codePoint, std::u16string& wide) {
  if (codePoint < 0x10000) {
    wide.push_back(static_cast<char16_t>(codePoint));
    return;
  }
  codePoint -= 0x10000;
  wide.push_back(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
  wide.push_back(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
}

void appendUtf8(char32_t codePoint, std::string& text) {
  if (codePoint < 0x80) {
    text.push_back(static_cast<char>(codePoint));
  } else if (codePoint < 0x800) {
    text.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
    text.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
  } else if (codePoint < 0x10000) {
    text.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
    text.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
    text.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
  } else {
    text.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
    text.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
    text.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
    text.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
  }
}

bool isHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

char lowercaseAscii(char character) {
  return character >= 'A' && character <= 'Z' ? static_cast<char>(character - 'A' + 'a') : character;
}

}  // namespace

bool decodeUtf8(const char* text, std::size_t length, std::u16string& wide) {
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
  bool wellFormed = true;
  std::size_t position = 0;
  while (position < length) {
    appendUtf16(readCodePoint(bytes, length, position, wellFormed), wide);
  }
  return wellFormed;
}

bool encodeUtf8(const char16_t* wide, std::size_t length, std::string& text) {
  bool wellFormed = true;
  for (std::size_t position = 0; position < length; ++position) {
    char16_t unit = wide[position];
    if (isHighSurrogate(unit) && position + 1 < length && isLowSurrogate(wide[position + 1])) {
      char32_t codePoint = 0x10000 + ((unit - 0xD800) << 10) + (wide[position + 1] - 0xDC00);
      appendUtf8(codePoint, text);
      ++position;
    } else if (isHighSurrogate(unit) || isLowSurrogate(unit)) {
      appendUtf8(kReplacementCharacter, text);
      wellFormed = false;
    } else {
      appendUtf8(unit, text);
    }
  }
  return wellFormed;
}

std::u16string utf16FromUtf8(const std::string& text) {
  std::u16string wide;
  decodeUtf8(text.data(), text.size(), wide);
  return wide;
}

std::string utf8FromUtf16(const std::u16string& wide) {
  std::string text;
  encodeUtf8(wide.data(), wide.size(), text);
  return text;
}

bool equalsIgnoringCase(const std::string& left, const std::string& right) {
  if (left.size() != right.size()) {
    return false;
  }
  for (std::size_t index = 0; index < left.size(); ++index) {
    if (lowercaseAscii(left[index]) != lowercaseAscii(right[index])) {
      return false;
    }
  }
  return true;
}

std::string lowercase(const std::string& text) {
  std::string result(text);
  for (char& character : result) {
    character = lowercaseAscii(character);
  }
  return result;
}

int copyTruncated(const std::string& text, char* buffer, int capacity) {
  if (!buffer || capacity <= 0) {
    return 0;
  }
  std::size_t count = std::min(text.size(), static_cast<std::size_t>(capacity - 1));
  std::memcpy(buffer, text.data(), count);
  buffer[count] = '\0';
  return static_cast<int>(count);
}

}  // namespace platform
