// What another program can see of a process's windows: top-level windows
// by class, their texts and states, and the message boxes it shows.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace desktop {

std::string className(HWND window);
std::string windowText(HWND window);
DWORD processOf(HWND window);

// The top-level windows of one process, optionally of one class.
std::vector<HWND> topLevelWindows(DWORD processId, const std::string& windowClass = "");

// The owner window the single-instance guard looks for, if that process
// has made it.
HWND findOwnerWindow(DWORD processId);

struct MessageBoxContent {
  std::string caption;  // the box's title
  std::string text;     // its static text
};

// The first shown message box ("#32770") of the process, or NULL.
HWND findMessageBox(DWORD processId);
MessageBoxContent readMessageBox(HWND box);
// Presses the box's OK button.
void pressOk(HWND box);

// The first shown popup menu ("#32768") of the process, or NULL. Its items
// cannot be read from another process under Wine.
HWND findPopupMenu(DWORD processId);

// Presses and releases a key as the keyboard would: the input goes to the
// thread of the foreground window, whichever process that is.
void pressKey(WORD virtualKey);

// Polls until the condition holds or the timeout passes; returns the last
// result of the condition. For waiting on another process only.
bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMilliseconds);

// Texts of the program are code page 932 bytes; failures show them as
// escaped bytes so they can be compared by eye whatever the console shows.
std::string printableBytes(const std::string& bytes);

}  // namespace desktop
