// The host: everything the desktop model shows to a user and everything a
// user does to it. The model never draws or reads a device itself; a host
// presents what the model tells it and delivers the user's input when the
// program waits. The scripted host serves tests; a host on a real display
// is another implementation of this interface, installed with installHost.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace platform {

// Where the program waits for input.
enum class WaitPlace { getMessage, messageBox, popupMenu };

// "GetMessageA", "MessageBoxA", "TrackPopupMenu": the call the program waits in.
const char* waitPlaceName(WaitPlace place);

enum class MouseButton { left, right, middle };

// The user's input, one event at a time.
namespace input {

// The cursor moves to a screen point. `window` is the program's window
// the display found the pointer in (a display decides by the windows as
// they really are, which its window manager may have moved); null where
// the host does not know, and the desktop finds it by its own Z order.
struct MoveCursor {
  POINT point;
  HWND window = NULL;
};

// A mouse button goes down or up where the cursor is.
struct PressButton {
  MouseButton button;
};
struct ReleaseButton {
  MouseButton button;
};

// A button of the message box that is open (the innermost one) is pressed.
struct PressMessageBoxButton {
  int button;
};

// The mouse acts on a tray icon: the icon of that window and id, or the
// first icon when the window is null. `mouseMessage` is what the mouse did
// (WM_LBUTTONDOWN...), as the icon's callback message carries it.
struct TrayIconMouse {
  HWND window;
  UINT id;
  UINT mouseMessage;
};

// An item of the menu being tracked is chosen: the one with that command
// id, or, when `text` is not empty, the first one (depth first) with that
// text. Or the menu is dismissed without a choice.
struct ChooseMenuItem {
  UINT command;
  std::string text;
};
struct DismissMenu {};

// The window holding the capture loses it to something outside the program
// (another program's grab, a switch of workspace): it gets WM_CAPTURECHANGED.
struct LoseCapture {};

// The desktop moved one of the program's windows by means of its own (the
// window manager, another program, the user through either): its top left
// corner is now there, its size the same. The program sees its window
// there as a Windows program sees a window the user moved.
struct MoveWindow {
  HWND window;
  POINT topLeft;
};

}  // namespace input

using InputEvent = std::variant<input::MoveCursor, input::PressButton, input::ReleaseButton,
                                input::PressMessageBoxButton, input::TrayIconMouse, input::ChooseMenuItem,
                                input::DismissMenu, input::LoseCapture, input::MoveWindow>;

// Where a host delivers input: the desktop turns each event into what Win32
// does with it (messages in the queue, a closed box...).
class InputSink {
 public:
  virtual ~InputSink() = default;

  // Carries the event out. Gives an empty text when it was, otherwise why it
  // could not be (no message box is open, say); nothing then changes.
  virtual std::string deliver(const InputEvent& event) = 0;
};

// What changed about a window that a host shows.
enum class WindowChange { shown, hidden, moved, zOrder, layeredContent, destroyed };

// A layered window's content as the desktop keeps it: premultiplied
// 0xAARRGGBB pixels in native byte order, rows `stride` bytes apart, top row
// first, shown with the constant alpha. The pixels are the desktop's own,
// not a copy: they stay valid until the window's next layeredContent or
// destroyed change.
struct LayeredContentView {
  const std::uint32_t* pixels;
  int width;
  int height;
  int stride;
  BYTE constantAlpha;
};

// Whether a layered window's pixel takes the mouse: its alpha shown with
// the constant alpha is above 0. Elsewhere clicks pass through to what lies
// below, on the desktop and on a host's display alike.
inline bool takesMouse(std::uint32_t premultipliedPixel, BYTE constantAlpha) {
  return (premultipliedPixel >> 24) * constantAlpha / 255 > 0;
}

// A top-level window as a host shows it, as it is after the change.
struct WindowView {
  HWND window;
  RECT rect;
  bool visible;
  bool topmost;
  bool layered;
  // The window right above it in the Z order, or null at the top.
  HWND above;
  // Null while the window has no layered content (it shows nothing then).
  const LayeredContentView* content;
};
// A popup menu as a host shows it: its items, where, and for which window.
struct MenuItemView {
  UINT id;  // 0 for separators and submenus
  std::string text;
  bool separator;
  bool checked;
  bool popup;
  std::vector<MenuItemView> submenu;
  bool disabled;  // MF_GRAYED or MF_DISABLED: shown, but cannot be chosen
};

struct PopupMenuView {
  HMENU menu;
  HWND owner;
  POINT point;
  UINT flags;
  std::vector<MenuItemView> items;
};

// A request to open a file with the shell, as ShellExecuteA made it; a null
// text of the call is an empty one here, with `has...` false.
struct ShellRequest {
  HWND window;
  std::string verb;
  std::string file;
  std::string parameters;
  bool hasParameters;
  std::string directory;
  bool hasDirectory;
  int showCommand;
};

// A message box as a host shows it: the buttons are the results they give
// (IDOK...), in the order Windows shows them.
struct MessageBoxView {
  HWND owner;
  std::string text;
  bool hasCaption;      // false when MessageBoxA got a null caption
  std::string caption;  // as shown: "Error" for a null caption
  UINT type;
  std::vector<int> buttons;
};

// A tray icon as a host shows it: its picture (straight 0xAARRGGBB, top row
// first; empty when it has no icon) and its tip.
struct TrayIconView {
  HWND window;
  UINT id;
  int width;
  int height;
  std::vector<std::uint32_t> pixels;
  std::string tip;
};

class Host {
 public:
  virtual ~Host() = default;

  // The program waits in `place` and has nothing to do. Deliver the user's
  // next input to `sink` (a host may deliver nothing and return, to let the
  // program look at its queue again). False when no input will ever come:
  // the waiting call then gives up.
  virtual bool waitForInput(WaitPlace place, InputSink& sink) = 0;

  // A message box opens, modal, until a PressMessageBoxButton closes it;
  // boxes nest, the innermost on top.
  virtual void messageBoxOpened(const MessageBoxView&) {}
  virtual void messageBoxClosed(int /*button*/) {}

  // A popup menu is tracked, modal, until a ChooseMenuItem or DismissMenu
  // ends it; `command` is the chosen one, 0 for none.
  virtual void popupMenuOpened(const PopupMenuView&) {}
  virtual void popupMenuClosed(UINT /*command*/) {}

  // A tray icon was added, changed or removed: these are all icons now, in
  // the order they were added.
  virtual void trayIconsChanged(const std::vector<TrayIconView>& /*icons*/) {}

  // Opens a file the way the desktop's shell does (a program runs, a
  // document opens in its program). Gives 0 when it opened, otherwise the
  // Win32 error ShellExecuteA reports (ERROR_FILE_NOT_FOUND, SE_ERR_NOASSOC...).
  virtual DWORD openWithShell(const ShellRequest&) { return 0; }

  // A window's visibility, position, Z order or layered content changed.
  virtual void windowChanged(const WindowView&, WindowChange) {}

  // The program made a top-level window of that class and title. A host
  // whose display other programs share makes it known to them, so that
  // their FindWindowA finds it (until the window is destroyed).
  virtual void windowCreated(HWND /*window*/, const std::string& /*className*/, const std::string& /*title*/) {}

  // Whether another program on the host's display has a top-level window of
  // that class and title, both compared without case. A host that shows no
  // other program's windows answers false.
  virtual bool otherProgramHasWindow(const std::string& /*className*/, const std::string& /*title*/) { return false; }

  // The program took the mouse capture for `window`, or released it (null).
  // A host on a real display holds the pointer meanwhile, so that a fast
  // drag cannot leave the window behind.
  virtual void captureChanged(HWND /*window*/) {}

  // Where the pointer is, and moving it (SetCursorPos).
  virtual POINT cursorPosition() = 0;
  virtual void moveCursor(POINT point) = 0;

  // The screen's size in pixels.
  virtual SIZE screenSize() = 0;

  // The program wrote a line for a debugger (OutputDebugStringA) or to its
  // console (WriteConsoleA).
  virtual void debugOutput(const std::string& text) = 0;
  virtual void consoleOutput(const std::string& text, bool standardError) = 0;

  // A message was posted (PostMessageA, or the shell for a tray icon), for
  // a host that keeps a record of them.
  virtual void messagePosted(const MSG&) {}
};

// Makes `host` the desktop's host from the next call on. A fresh desktop
// (desktop::reset) has the scripted host.
void installHost(std::unique_ptr<Host> host);

}  // namespace platform
