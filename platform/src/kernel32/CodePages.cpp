// Code-page conversion. The ANSI code page of this build is UTF-8, so
// CP_ACP and CP_UTF8 convert alike.
#include "core/Text.h"

#include <windows.h>

#include <cstring>
#include <string>

namespace {

bool isSupportedCodePage(UINT codePage) { return codePage == CP_ACP || codePage == CP_UTF8; }

// Win32 takes only the error flag for UTF-8; the ANSI code page also takes
// the flags that matter for other code pages, which change nothing here.
DWORD allowedMultiByteFlags(UINT codePage) {
  return codePage == CP_UTF8 ? MB_ERR_INVALID_CHARS : (MB_ERR_INVALID_CHARS | MB_PRECOMPOSED);
}

DWORD allowedWideCharFlags(UINT codePage) {
  return codePage == CP_UTF8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
}

// Win32's length convention: -1 means up to and including the terminator.
template <typename Character>
std::size_t measuredLength(const Character* text, int length) {
  if (length >= 0) {
    return static_cast<std::size_t>(length);
  }
  std::size_t count = 0;
  while (text[count] != 0) {
    ++count;
  }
  return count + 1;
}

// Copies a converted text out, or only reports its size when `capacity` is
// 0; fails with ERROR_INSUFFICIENT_BUFFER when it does not fit.
template <typename Character, typename Output>
int deliver(const std::basic_string<Character>& converted, Output* output, int capacity) {
  if (converted.size() > static_cast<std::size_t>(INT32_MAX)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  int size = static_cast<int>(converted.size());
  if (capacity == 0) {
    return size;
  }
  if (size > capacity) {
    std::memcpy(output, converted.data(), static_cast<std::size_t>(capacity) * sizeof(Character));
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(output, converted.data(), converted.size() * sizeof(Character));
  return size;
}

}  // namespace

extern "C" {

int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int textLength, LPWSTR wide,
                               int wideLength) {
  if (!isSupportedCodePage(codePage) || !text || textLength == 0 || textLength < -1 || wideLength < 0 ||
      (wideLength > 0 && !wide)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if ((flags & ~allowedMultiByteFlags(codePage)) != 0) {
    SetLastError(ERROR_INVALID_FLAGS);
    return 0;
  }
  std::u16string converted;
  bool wellFormed = platform::decodeUtf8(text, measuredLength(text, textLength), converted);
  if (!wellFormed && (flags & MB_ERR_INVALID_CHARS)) {
    SetLastError(ERROR_NO_UNICODE_TRANSLATION);
    return 0;
  }
  return deliver(converted, wide, wideLength);
}

int WINAPI WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength, LPSTR text, int textLength,
                               LPCSTR defaultChar, LPBOOL usedDefaultChar) {
  if (!isSupportedCodePage(codePage) || !wide || wideLength == 0 || wideLength < -1 || textLength < 0 ||
      (textLength > 0 && !text)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  // UTF-8 can encode every character, so Win32 refuses a default character
  // for it; the ANSI code page takes one and never needs it.
  if (codePage == CP_UTF8 && (defaultChar || usedDefaultChar)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (usedDefaultChar) {
    *usedDefaultChar = FALSE;
  }
  if ((flags & ~allowedWideCharFlags(codePage)) != 0) {
    SetLastError(ERROR_INVALID_FLAGS);
    return 0;
  }
  std::string converted;
  bool wellFormed = platform::encodeUtf8(wide, measuredLength(wide, wideLength), converted);
  if (!wellFormed && (flags & WC_ERR_INVALID_CHARS)) {
    SetLastError(ERROR_NO_UNICODE_TRANSLATION);
    return 0;
  }
  return deliver(converted, text, textLength);
}

}  // extern "C"

// The next character of an ANSI text: in UTF-8, past a lead byte and its
// continuation bytes, never past the terminator.
extern "C" LPSTR WINAPI CharNextA(LPCSTR text) {
  if (!text || *text == '\0') {
    return const_cast<LPSTR>(text);
  }
  const char* next = text + 1;
  while ((static_cast<unsigned char>(*next) & 0xC0) == 0x80) {
    ++next;
  }
  return const_cast<LPSTR>(next);
}
