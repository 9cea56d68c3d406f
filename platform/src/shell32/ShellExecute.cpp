// shell32's ShellExecuteA: the request goes to the host, which opens the
// file the way its desktop does.
#include <shellapi.h>

#include "core/Desktop.h"

namespace {

// Above 32 means success; the value itself means nothing else.
const INT_PTR kSucceeded = 42;

std::string textOrEmpty(LPCSTR text) { return text ? text : ""; }

}  // namespace

// A failure is the error itself, which is never above 32, as in Win32.
extern "C" HINSTANCE WINAPI ShellExecuteA(HWND window, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                                          LPCSTR directory, INT showCommand) {
  DWORD error = platform::theDesktop().host->openWithShell(
      platform::ShellRequest{window, textOrEmpty(verb), textOrEmpty(file), textOrEmpty(parameters),
                             parameters != NULL, textOrEmpty(directory), directory != NULL, showCommand});
  if (error != 0) {
    SetLastError(error);
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(error));
  }
  return reinterpret_cast<HINSTANCE>(kSucceeded);
}
