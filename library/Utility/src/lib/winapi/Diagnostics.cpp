// printf-style output routines of the framework.
#include "lib/winapi/Diagnostics.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "lib/winapi/PendingException.h"

namespace lib {
namespace winapi {

namespace {

const int kBufferSize = 256;

// Bounded formatting: text past 255 characters is cut, and the buffer always
// ends with its terminator.
void formatInto(char (&buffer)[kBufferSize], const char* format, va_list values) {
  if (std::vsnprintf(buffer, kBufferSize, format, values) < 0) {
    buffer[0] = '\0';
  }
}

}  // namespace

void debugPrint(const char* format, ...) {
  char buffer[kBufferSize];
  va_list values;
  va_start(values, format);
  formatInto(buffer, format, values);
  va_end(values);
  OutputDebugStringA(buffer);
}

void consolePrint(const char* format, ...) {
  char buffer[kBufferSize];
  va_list values;
  va_start(values, format);
  formatInto(buffer, format, values);
  va_end(values);
  WriteConsoleA(GetStdHandle(STD_OUTPUT_HANDLE), buffer, static_cast<DWORD>(std::strlen(buffer)), NULL, NULL);
}

void messageBoxPrint(HWND owner, UINT type, const char* caption, const char* format, ...) {
  char buffer[kBufferSize];
  va_list values;
  va_start(values, format);
  formatInto(buffer, format, values);
  va_end(values);
  rethrowPendingExceptionAfter(MessageBoxA(owner, buffer, caption, type));
}

}  // namespace winapi
}  // namespace lib
