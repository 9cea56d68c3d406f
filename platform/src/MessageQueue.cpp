// The thread's message queue and the calls that feed and drain it:
// PostMessageA, SendMessageA, PostQuitMessage, GetMessageA, TranslateMessage,
// DispatchMessageA, TranslateAcceleratorA.
#include "Desktop.h"
#include "Host.h"

#include <chrono>

namespace {

// GetMessageA's window filter for thread messages only.
HWND const kThreadMessagesOnly = reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1));

DWORD millisecondsSinceStart() {
  static const auto start = std::chrono::steady_clock::now();
  auto elapsed = std::chrono::steady_clock::now() - start;
  return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

bool passesFilter(const MSG& message, HWND window, UINT filterMin, UINT filterMax) {
  if (window == kThreadMessagesOnly ? message.hwnd != NULL : (window && message.hwnd != window)) {
    return false;
  }
  if (filterMin == 0 && filterMax == 0) {
    return true;
  }
  return message.message >= filterMin && message.message <= filterMax;
}

bool takePostedMessage(MSG& message, HWND window, UINT filterMin, UINT filterMax) {
  std::deque<MSG>& queue = platform::theDesktop().postedMessages;
  for (auto position = queue.begin(); position != queue.end(); ++position) {
    if (passesFilter(*position, window, filterMin, filterMax)) {
      message = *position;
      queue.erase(position);
      return true;
    }
  }
  return false;
}

// The quit request becomes a WM_QUIT message once no posted message is left
// that the caller would take.
bool takeQuitMessage(MSG& message) {
  platform::Desktop& desktop = platform::theDesktop();
  if (!desktop.quitRequested) {
    return false;
  }
  desktop.quitRequested = false;
  message = MSG{NULL, WM_QUIT, static_cast<WPARAM>(desktop.quitCode), 0, millisecondsSinceStart(), POINT{0, 0}};
  return true;
}

LRESULT callProcedure(platform::Window& window, UINT message, WPARAM wParam, LPARAM lParam) {
  WNDPROC procedure = window.procedure ? window.procedure : DefWindowProcA;
  return procedure(window.handle, message, wParam, lParam);
}

}  // namespace

extern "C" {

// A message posted to another program's window is handled by that program
// at once; the model's foreign windows answer it with default processing.
BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  platform::Window* record = NULL;
  if (window) {
    record = platform::findWindowRecord(window);
    if (!record) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return FALSE;
    }
  }
  if (record && record->foreign) {
    callProcedure(*record, message, wParam, lParam);
    return TRUE;
  }
  platform::theDesktop().postedMessages.push_back(
      MSG{window, message, wParam, lParam, millisecondsSinceStart(), POINT{0, 0}});
  return TRUE;
}

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  platform::Window* record = platform::findWindowRecord(window);
  if (!record) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  return callProcedure(*record, message, wParam, lParam);
}

void WINAPI PostQuitMessage(int exitCode) {
  platform::Desktop& desktop = platform::theDesktop();
  desktop.quitRequested = true;
  desktop.quitCode = exitCode;
}

// Posted messages first, then the quit request; with nothing left, the host
// delivers the user's next input and the queue is looked at again. When the
// host has no more input to give, the call fails with -1.
BOOL WINAPI GetMessageA(LPMSG message, HWND window, UINT filterMin, UINT filterMax) {
  if (!message) {
    SetLastError(ERROR_NOACCESS);
    return -1;
  }
  if (window && window != kThreadMessagesOnly && !platform::findWindowRecord(window)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return -1;
  }
  while (true) {
    if (takePostedMessage(*message, window, filterMin, filterMax)) {
      return message->message == WM_QUIT ? 0 : 1;
    }
    if (takeQuitMessage(*message)) {
      return 0;
    }
    if (!platform::theDesktop().host->deliverInput("GetMessageA")) {
      return -1;
    }
  }
}

// Only keyboard messages are translated; no keyboard input is modelled yet,
// so no character message follows.
BOOL WINAPI TranslateMessage(const MSG* message) {
  if (!message) {
    return FALSE;
  }
  switch (message->message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
      return TRUE;
    default:
      return FALSE;
  }
}

LRESULT WINAPI DispatchMessageA(const MSG* message) {
  if (!message || !message->hwnd) {
    return 0;
  }
  platform::Window* record = platform::findWindowRecord(message->hwnd);
  if (!record) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  return callProcedure(*record, message->message, message->wParam, message->lParam);
}

// The model has no accelerator tables, so no handle names one.
int WINAPI TranslateAcceleratorA(HWND, HACCEL accelerators, LPMSG) {
  if (accelerators) {
    SetLastError(ERROR_INVALID_HANDLE);
  }
  return 0;
}

}  // extern "C"
