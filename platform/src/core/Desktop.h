// The model of one desktop: the state behind every call of the layer.
//
// Everything lives in one object so that desktop::reset() can replace it in
// one step. The calls of each area (windows, messages, dialogs...) keep their
// rules in their own files and use this only as storage.
#pragma once

#include <windows.h>

#include <platform/desktop.h>
#include <platform/host.h>

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/Handles.h"

namespace platform {

// A program on the desktop: ours, or another one whose windows tests put
// there. Each has its own message queue.
using ProgramId = std::uint32_t;
const ProgramId kThisProgram = 1;

struct WindowClass {
  std::string name;  // as registered; compared case-insensitively
  std::string lowercaseName;  // the name as lookups compare it, made once
  HINSTANCE module;
  ATOM atom;
  WNDCLASSEXA record;    // as registered, without the caller's text pointers
  std::string menuName;  // the menu name when it is a text
  bool hasMenuName;
};

enum class WindowState { creating, alive, destroying };

// A message box while it is open: the buttons it has, and the one pressed
// (0 until then).
struct OpenMessageBox {
  std::vector<int> buttons;
  int result;
};

class Surface;

struct Window : HandleObject {
  static const HandleKind kKind = HandleKind::window;

  ~Window() override;

  HWND handle;
  ProgramId program;      // the program whose thread made it and runs its procedure
  HINSTANCE classModule;  // with className, the class the window was made from
  std::string className;
  HINSTANCE instance;  // the instance given to CreateWindowExA
  WNDPROC procedure;
  DWORD style;  // WS_VISIBLE and WS_MINIMIZE are the visibility and minimized state
  DWORD exStyle;
  RECT rect;
  HWND owner;
  // How many windows this one owns directly: most own none, and their Z
  // order moves and destruction then need not look at every other window.
  std::size_t ownedWindows = 0;
  std::string title;
  WindowState state;
  bool hiddenWithOwner;  // hidden because its owner was minimized
  bool hasLayeredContent;  // a layered window shows nothing until it has content
  // What UpdateLayeredWindow gave it: its own copy of the pixels, shown
  // with the constant alpha over what lies below.
  std::unique_ptr<Surface> layeredSurface;
  BYTE layeredConstantAlpha;
};

// A program's message queue. Posted messages come before input, and the
// quit request becomes WM_QUIT only once both are empty.
struct MessageQueue {
  std::deque<MSG> posted;
  std::deque<MSG> input;
  bool quitRequested = false;
  int quitCode = 0;
};

struct Desktop {
  Desktop();
  ~Desktop();

  // kernel
  DWORD lastError = 0;
  bool consoleAttached = true;
  std::vector<UINT> timerPeriods;  // the periods of timeBeginPeriod calls not yet ended
  std::u16string commandLine;

  // every object with a handle: windows, icons, menus, GDI objects
  HandleTable handles;

  // classes and windows
  std::vector<WindowClass> classes;
  std::vector<HWND> zOrder;  // top-level windows, top first; the topmost band leads

  // programs and their queues; the running program is the one whose code
  // runs now (ours, except while another program handles its messages)
  std::map<ProgramId, MessageQueue> queues;
  ProgramId runningProgram = kThisProgram;
  ProgramId lastProgram = kThisProgram;

  // input state: where the last input put the cursor, which decides the
  // window the mouse messages go to
  POINT cursor = {0, 0};
  HWND cursorWindow = NULL;  // the window the host found the cursor in, null when it did not say
  WPARAM mouseButtons = 0;  // the buttons down, as the MK_ flags of mouse messages
  HWND capture = NULL;
  HWND foreground = NULL;

  // the LR_SHARED icon cache
  std::map<std::string, HICON> sharedIcons;

  // the menu being tracked now, and what the user chose of it
  HMENU trackingMenu = NULL;
  UINT trackingChosen = 0;
  bool trackingEnded = false;

  // the notification area
  std::vector<desktop::TrayIcon> trayIcons;

  // the screen as GetDC(NULL) draws from it, composed when asked for
  std::unique_ptr<Surface> screen;

  // GDI+ start-ups not yet shut down, by token
  std::vector<ULONG_PTR> gdiplusTokens;

  // the message boxes open now, innermost last
  std::vector<OpenMessageBox> openMessageBoxes;

  std::unique_ptr<Host> host;
};

// The desktop of this process; made on first use.
Desktop& theDesktop();

// The program's own module.
HINSTANCE programModule();

// A module of another program; every call gives a new one.
HINSTANCE newForeignModule();

// The window record of a handle, or null for a handle that is not (or no
// longer) a window.
Window* findWindowRecord(HWND window);

// The far edge of a window that starts at `start` and is `extent` pixels
// wide (0 for a negative extent): coordinates are 32-bit, so an edge beyond
// their range stops at the largest coordinate instead of wrapping around.
int farEdge(int start, int extent);

// The queue of the program that runs now.
MessageQueue& runningQueue();

// Milliseconds since the process started: the time stamp of messages.
DWORD messageTime();

// Runs code as another program's thread for as long as it lives, so that
// what it posts, creates or destroys is that program's.
class ProgramScope {
 public:
  explicit ProgramScope(ProgramId program);
  ~ProgramScope();
  ProgramScope(const ProgramScope&) = delete;
  ProgramScope& operator=(const ProgramScope&) = delete;

 private:
  ProgramId previous_;
};

}  // namespace platform
