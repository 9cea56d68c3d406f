// shell32's ShellExecuteA: the request goes to the host, which opens the
// file the way its desktop does.
#include <shellapi.h>

#include "core/Desktop.h"

namespace {

// Above 32 means success; the value itself means nothing else.
const INT_PTR kSucceeded = 42;

std::string textOrEmpty(LPCSTR text) { return text ? text : ""; }

}  // namespace

extern "C" HINSTANCE WINAPI ShellExecuteA(HWND window, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                                          LPCSTR directory, INT showCommand) {
  platform::theDesktop().host->openWithShell(platform::ShellRequest{window, textOrEmpty(verb), textOrEmpty(file),
                                                                    textOrEmpty(parameters), parameters != NULL,
                                                                    textOrEmpty(directory), directory != NULL,
                                                                    showCommand});
  return reinterpret_cast<HINSTANCE>(kSucceeded);
}
