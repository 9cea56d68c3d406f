// Text helpers of the layer: UTF-8 (the ANSI code page here) and UTF-16,
// and the case-insensitive comparison Win32 uses for names.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

// Decodes UTF-8 into UTF-16. An ill-formed sequence becomes U+FFFD; the
// result says whether the text was well-formed.
bool decodeUtf8(const char* text, std::size_t length, std::u16string& wide);

// Encodes UTF-16 as UTF-8. A lone surrogate becomes U+FFFD; the result says
// whether the text was well-formed.
bool encodeUtf8(const char16_t* wide, std::size_t length, std::string& text);

std::u16string utf16FromUtf8(const std::string& text);
std::string utf8FromUtf16(const std::u16string& wide);

// Names of classes, resources and windows compare without regard to the
// case of ASCII letters.
bool equalsIgnoringCase(const std::string& left, const std::string& right);
std::string lowercase(const std::string& text);

// Copies at most capacity - 1 bytes of the text and the terminator, as
// Win32's text-returning calls do; gives the number of bytes copied, 0 for
// a null buffer or a capacity below 1.
int copyTruncated(const std::string& text, char* buffer, int capacity);

}  // namespace platform
