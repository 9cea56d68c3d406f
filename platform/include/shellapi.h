// The shell32 calls the program uses.
#pragma once

#include <windows.h>

extern "C" {
LPWSTR* WINAPI CommandLineToArgvW(LPCWSTR commandLine, int* argumentCount);
}
