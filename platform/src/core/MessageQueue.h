// The one message queue of each program and the one way to wait on it:
// GetMessageA, the message box's loop and the tracked menu's loop all take
// their messages and wait for input through these calls.
#pragma once

#include <functional>

#include "core/Desktop.h"

namespace platform {

// Takes the next message of the running program's queue that the filter
// lets through, in Win32's order: posted messages, then input, then WM_QUIT
// once nothing else is waiting. False when there is none.
bool takeMessage(MSG& message, HWND window, UINT filterMin, UINT filterMax);

// The running program has nothing to do: the other programs handle what
// waits in their queues, and when none had anything, the host delivers the
// user's next input. False when no input will ever come.
bool waitForInput(WaitPlace place);

// Puts a message at the end of a program's posted messages.
void postToQueue(ProgramId program, const MSG& message);

// Puts an input message at the end of the window's program's input; a mouse
// move replaces one for the same window that still waits at the end.
void queueInput(const Window& window, const MSG& message);

// Calls the window's procedure (or default processing when it has none) as
// the window's program.
LRESULT callProcedure(const Window& window, UINT message, WPARAM wParam, LPARAM lParam);

// How a modal loop ended.
enum class ModalEnd { finished, quit, noMoreInput };

// The modal loop of message boxes and menus: dispatches the running
// program's messages (thread messages are lost, as in Win32's modal loops)
// until `finished` says so. A WM_QUIT ends the loop and is posted again for
// the caller's own loop, as Win32's dialog and menu loops do.
ModalEnd runModalLoop(WaitPlace place, const std::function<bool()>& finished);

// The desktop's side of the host's input: turns events into messages.
InputSink& desktopInput();

}  // namespace platform
