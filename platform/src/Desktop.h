// The model of one desktop: the state behind every call of the layer.
//
// Everything lives in one object so that desktop::reset() can replace it in
// one step. The calls of each area (windows, messages, dialogs...) keep their
// rules in their own files and use this only as storage.
#pragma once

#include <windows.h>

#include <platform/desktop.h>

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace platform {

class Host;

struct WindowClass {
  std::string name;  // as registered; compared case-insensitively
  HINSTANCE module;
  ATOM atom;
  WNDCLASSEXA record;    // as registered, without the caller's text pointers
  std::string menuName;  // the menu name when it is a text
  bool hasMenuName;
};

enum class WindowState { creating, alive, destroying };

struct Window {
  HWND handle;
  HINSTANCE classModule;  // with className, the class the window was made from
  std::string className;
  HINSTANCE instance;  // the instance given to CreateWindowExA
  WNDPROC procedure;
  DWORD style;  // WS_VISIBLE and WS_MINIMIZE are the visibility and minimized state
  DWORD exStyle;
  RECT rect;
  HWND owner;
  std::string title;
  bool foreign;  // a window of another program
  WindowState state;
};

struct IconRecord {
  desktop::IconImage image;
  bool shared;  // system or LR_SHARED icons survive DestroyIcon
};

struct Desktop {
  Desktop();
  ~Desktop();

  // kernel
  DWORD lastError = 0;
  std::vector<std::string> debugOutput;
  std::string consoleOutput;
  bool echo = true;
  bool consoleAttached = true;
  std::vector<UINT> timerPeriods;  // the periods of timeBeginPeriod calls not yet ended
  std::u16string commandLine;

  // classes and windows
  std::vector<WindowClass> classes;
  std::map<HWND, std::unique_ptr<Window>> windows;
  std::vector<HWND> zOrder;  // top-level windows, top first; the topmost band leads

  // the thread's message queue
  std::deque<MSG> postedMessages;
  bool quitRequested = false;
  int quitCode = 0;

  // icons loaded from resources, and the LR_SHARED cache
  std::map<HICON, IconRecord> icons;
  std::map<std::string, HICON> sharedIcons;

  // dialogs
  std::vector<desktop::ShownMessageBox> messageBoxes;
  std::vector<std::size_t> openMessageBoxes;  // indexes into messageBoxes, innermost last

  std::unique_ptr<Host> host;
};

// The desktop of this process; made on first use.
Desktop& theDesktop();

// A fresh handle value for any kind of object; values are never reused
// within a run, not even across desktop::reset().
std::uintptr_t newHandleValue();

// The program's own module.
HINSTANCE programModule();

// A module of another program; every call gives a new one.
HINSTANCE newForeignModule();

// The window record of a handle, or null for a handle that is not (or no
// longer) a window.
Window* findWindowRecord(HWND window);

}  // namespace platform
