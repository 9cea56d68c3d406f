// The thread's message queue and the calls that feed and drain it:
// PostMessageA, SendMessageA, PostQuitMessage, GetMessageA, TranslateMessage,
// DispatchMessageA, TranslateAcceleratorA.
#include "core/MessageQueue.h"

namespace {

// GetMessageA's window filter for thread messages only.
HWND const kThreadMessagesOnly = reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1));

bool passesFilter(const MSG& message, HWND window, UINT filterMin, UINT filterMax) {
  if (window == kThreadMessagesOnly ? message.hwnd != NULL : (window && message.hwnd != window)) {
    return false;
  }
  if (filterMin == 0 && filterMax == 0) {
    return true;
  }
  return message.message >= filterMin && message.message <= filterMax;
}

bool takeFrom(std::deque<MSG>& queue, MSG& message, HWND window, UINT filterMin, UINT filterMax) {
  for (auto position = queue.begin(); position != queue.end(); ++position) {
    if (passesFilter(*position, window, filterMin, filterMax)) {
      message = *position;
      queue.erase(position);
      return true;
    }
  }
  return false;
}

bool takeQuitMessage(platform::MessageQueue& queue, MSG& message) {
  if (!queue.quitRequested || !queue.posted.empty() || !queue.input.empty()) {
    return false;
  }
  queue.quitRequested = false;
  message = MSG{NULL, WM_QUIT, static_cast<WPARAM>(queue.quitCode), 0, platform::messageTime(),
                platform::theDesktop().cursor};
  return true;
}

bool hasWaitingMessages(const platform::MessageQueue& queue) { return !queue.posted.empty() || !queue.input.empty(); }

// Another program handles everything waiting in its queue, each message as
// its own thread would: retrieved and dispatched.
void runProgram(platform::ProgramId program) {
  platform::ProgramScope scope(program);
  MSG message;
  while (platform::takeMessage(message, NULL, 0, 0)) {
    if (message.message != WM_QUIT) {
      DispatchMessageA(&message);
    }
  }
}

// True when another program had something to handle.
bool runOtherPrograms() {
  platform::Desktop& desktop = platform::theDesktop();
  std::vector<platform::ProgramId> busy;
  for (const auto& entry : desktop.queues) {
    if (entry.first != desktop.runningProgram && hasWaitingMessages(entry.second)) {
      busy.push_back(entry.first);
    }
  }
  for (platform::ProgramId program : busy) {
    runProgram(program);
  }
  return !busy.empty();
}

}  // namespace

namespace platform {

bool takeMessage(MSG& message, HWND window, UINT filterMin, UINT filterMax) {
  MessageQueue& queue = runningQueue();
  if (takeFrom(queue.posted, message, window, filterMin, filterMax) ||
      takeFrom(queue.input, message, window, filterMin, filterMax)) {
    return true;
  }
  // The quit request is no message in the queue: no filter holds it back.
  return takeQuitMessage(queue, message);
}

bool waitForInput(WaitPlace place) {
  if (runOtherPrograms()) {
    return true;
  }
  Desktop& desktop = theDesktop();
  return desktop.host->waitForInput(place, desktopInput());
}

void postToQueue(ProgramId program, const MSG& message) { theDesktop().queues[program].posted.push_back(message); }

void queueInput(const Window& window, const MSG& message) {
  std::deque<MSG>& input = theDesktop().queues[window.program].input;
  if (message.message == WM_MOUSEMOVE && !input.empty() && input.back().message == WM_MOUSEMOVE &&
      input.back().hwnd == message.hwnd) {
    input.back() = message;
    return;
  }
  input.push_back(message);
}

LRESULT callProcedure(const Window& window, UINT message, WPARAM wParam, LPARAM lParam) {
  WNDPROC procedure = window.procedure ? window.procedure : DefWindowProcA;
  HWND handle = window.handle;
  ProgramScope scope(window.program);
  return procedure(handle, message, wParam, lParam);
}

ModalEnd runModalLoop(WaitPlace place, const std::function<bool()>& finished) {
  while (!finished()) {
    MSG message;
    if (!takeMessage(message, NULL, 0, 0)) {
      if (!waitForInput(place)) {
        return ModalEnd::noMoreInput;
      }
      continue;
    }
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return ModalEnd::quit;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return ModalEnd::finished;
}

}  // namespace platform

extern "C" {

// A message for a window goes to the queue of the window's program.
BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  platform::Desktop& desktop = platform::theDesktop();
  platform::ProgramId program = desktop.runningProgram;
  if (window) {
    platform::Window* record = platform::findWindowRecord(window);
    if (!record) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return FALSE;
    }
    program = record->program;
  }
  MSG posted{window, message, wParam, lParam, platform::messageTime(), desktop.cursor};
  desktop.host->messagePosted(posted);
  platform::postToQueue(program, posted);
  return TRUE;
}

// Another program's window handles a sent message on its own thread while
// the sender waits; the model runs its procedure at once, as that program.
LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  platform::Window* record = platform::findWindowRecord(window);
  if (!record) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  return platform::callProcedure(*record, message, wParam, lParam);
}

void WINAPI PostQuitMessage(int exitCode) {
  platform::MessageQueue& queue = platform::runningQueue();
  queue.quitRequested = true;
  queue.quitCode = exitCode;
}

// With nothing in the queue, the program waits: the host delivers the
// user's next input and the queue is looked at again. When no input will
// ever come, the call fails with -1.
BOOL WINAPI GetMessageA(LPMSG message, HWND window, UINT filterMin, UINT filterMax) {
  if (!message) {
    SetLastError(ERROR_NOACCESS);
    return -1;
  }
  if (window && window != kThreadMessagesOnly && !platform::findWindowRecord(window)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return -1;
  }
  while (!platform::takeMessage(*message, window, filterMin, filterMax)) {
    if (!platform::waitForInput(platform::WaitPlace::getMessage)) {
      return -1;
    }
  }
  return message->message == WM_QUIT ? 0 : 1;
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
  return platform::callProcedure(*record, message->message, message->wParam, message->lParam);
}

// The model has no accelerator tables, so no handle names one.
int WINAPI TranslateAcceleratorA(HWND, HACCEL accelerators, LPMSG) {
  if (accelerators) {
    SetLastError(ERROR_INVALID_HANDLE);
  }
  return 0;
}

}  // extern "C"
