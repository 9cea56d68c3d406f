// kernel32: the last error, debugger and console output, the performance
// counter and the module handle.
#include "core/Desktop.h"

#include <chrono>
#include <cstring>

namespace {

// Console handles are small fixed values, as a console's are; none of them
// is INVALID_HANDLE_VALUE.
HANDLE const kConsoleOutput = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(0x0C));
HANDLE const kConsoleError = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(0x10));

// The counter ticks at 10 MHz, the frequency Windows reports on most machines.
const LONGLONG kCounterFrequency = 10000000;


}  // namespace

extern "C" {

DWORD WINAPI GetLastError(void) { return platform::theDesktop().lastError; }

// Each program on the desktop is a process of its own with one thread, the
// one running now.
DWORD WINAPI GetCurrentProcessId(void) { return platform::theDesktop().runningProgram; }

void WINAPI SetLastError(DWORD error) { platform::theDesktop().lastError = error; }

void WINAPI OutputDebugStringA(LPCSTR text) { platform::theDesktop().host->debugOutput(text ? text : ""); }

HANDLE WINAPI GetStdHandle(DWORD which) {
  platform::Desktop& desktop = platform::theDesktop();
  switch (which) {
    case STD_OUTPUT_HANDLE:
      return desktop.consoleAttached ? kConsoleOutput : NULL;
    case STD_ERROR_HANDLE:
      return desktop.consoleAttached ? kConsoleError : NULL;
    case STD_INPUT_HANDLE:
      return NULL;
    default:
      SetLastError(ERROR_INVALID_HANDLE);
      return INVALID_HANDLE_VALUE;
  }
}

BOOL WINAPI WriteConsoleA(HANDLE console, const VOID* buffer, DWORD count, LPDWORD written, LPVOID) {
  platform::Desktop& desktop = platform::theDesktop();
  if (written) {
    *written = 0;
  }
  bool isConsole = console == kConsoleOutput || console == kConsoleError;
  if (!isConsole || !desktop.consoleAttached) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (!buffer && count > 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  desktop.host->consoleOutput(std::string(static_cast<const char*>(buffer), count), console == kConsoleError);
  if (written) {
    *written = count;
  }
  return TRUE;
}

BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
  if (!frequency) {
    SetLastError(ERROR_NOACCESS);
    return FALSE;
  }
  frequency->QuadPart = kCounterFrequency;
  return TRUE;
}

BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* counter) {
  if (!counter) {
    SetLastError(ERROR_NOACCESS);
    return FALSE;
  }
  using Ticks = std::chrono::duration<LONGLONG, std::ratio<1, kCounterFrequency>>;
  counter->QuadPart = std::chrono::duration_cast<Ticks>(std::chrono::steady_clock::now().time_since_epoch()).count();
  return TRUE;
}

HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName) {
  if (!moduleName) {
    return platform::programModule();
  }
  SetLastError(ERROR_MOD_NOT_FOUND);
  return NULL;
}

}  // extern "C"

namespace platform {
namespace desktop {

void detachConsole() { theDesktop().consoleAttached = false; }

}  // namespace desktop
}  // namespace platform
