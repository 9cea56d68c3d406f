// printf-style output to the debugger, the console and message boxes.
//
// Each routine formats into a 256-character buffer of its own (255
// characters and the terminator); longer text is cut there, never written
// past it. No routine keeps state or reports a failure of its own.
#pragma once

#include <windows.h>

// The routines format with the C99 printf family on every build (MinGW's
// included), which GCC calls gnu_printf and clang simply printf.
#if defined(__clang__)
#define LIB_WINAPI_PRINTF(formatIndex, firstValue) __attribute__((format(printf, formatIndex, firstValue)))
#else
#define LIB_WINAPI_PRINTF(formatIndex, firstValue) __attribute__((format(gnu_printf, formatIndex, firstValue)))
#endif

namespace lib {
namespace winapi {

// Formats and passes the text to OutputDebugStringA.
void debugPrint(const char* format, ...) LIB_WINAPI_PRINTF(1, 2);

// Formats and writes the text with WriteConsoleA to the standard output.
void consolePrint(const char* format, ...) LIB_WINAPI_PRINTF(1, 2);

// Formats and shows the text with MessageBoxA(owner, text, caption, type).
// The argument order is not MessageBoxA's. The box's modal loop runs window
// procedures; an exception one of them throws leaves here once the box closes.
void messageBoxPrint(HWND owner, UINT type, const char* caption, const char* format, ...) LIB_WINAPI_PRINTF(4, 5);

}  // namespace winapi
}  // namespace lib
