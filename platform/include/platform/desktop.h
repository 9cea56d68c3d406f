// The desktop model and the scripted host, as tests see them.
//
// The layer models one desktop per process. A test resets it, queues the
// user's actions on the scripted host, runs the program, and reads back what
// the desktop shows and what the program wrote. Nothing here is Win32; it is
// the test's view of the machine.
#pragma once

#include <windows.h>

#include <platform/host.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace platform {

namespace desktop {

// A fresh desktop: no windows, classes (other than the system's), icons,
// queued messages or quit request; no recorded output or message boxes; no
// timer period in force; an empty script; the console attached; last error 0.
// Echo is on again and the exhausted handler is the default one. The
// program's module resources (addModuleResource) stay: they are part of the
// program, not of the desktop. Handles are never reused, not even after a
// reset.
void reset();

// Forgets the debugger and console output, the posted messages and the
// tracked menus recorded so far (the record of a menu open now stays); the
// desktop itself does not change. For long runs that read none of them back,
// which would otherwise grow with every step.
void forgetRecords();

// The records below (debugger and console output, posted messages, boxes,
// menus, shell requests) are the scripted host's: they exist only while it
// is the desktop's host, and a program on another host keeps none.

// Every text passed to OutputDebugStringA since the reset, one entry a call.
const std::vector<std::string>& debugOutput();

// Everything WriteConsoleA wrote to the console since the reset.
const std::string& consoleOutput();

// Whether output is also echoed to the process's stderr (debugger output) and
// stdout (console output). On by default.
void setEcho(bool echo);

// Without a console GetStdHandle(STD_OUTPUT_HANDLE) gives NULL, as for a GUI
// program started from Explorer.
void detachConsole();

// How many timeBeginPeriod calls are in force (not yet ended).
int timerPeriodsInForce();

// Replaces the text GetCommandLineW returns (UTF-8 in, UTF-16 out).
void setCommandLine(const std::string& commandLine);

// A top-level window of another program: its class is registered in another
// module, it has no window procedure of ours, and it answers every message
// with default processing. Destroy it with DestroyWindow like any other.
HWND createForeignWindow(const char* className, const char* title);

// The top-level windows that exist, top of the Z order first.
std::vector<HWND> windows();

// Where the cursor is.
POINT cursorPosition();

// Whether a class of that name is registered for the module.
bool isClassRegistered(const char* className, HINSTANCE instance);

// One message box, from the moment it was shown.
struct ShownMessageBox {
  HWND owner;
  std::string text;
  bool hasCaption;      // false when MessageBoxA got a null caption
  std::string caption;  // as shown: "Error" for a null caption
  UINT type;
  int result;  // the button that closed it; 0 while it is open
};

// Every message PostMessageA posted since the reset, to any window or
// thread, in order.
const std::vector<MSG>& postedMessages();

// Every message box shown since the reset, in order.
const std::vector<ShownMessageBox>& messageBoxes();

// Every popup menu tracked since the reset, in order, as it was when it
// opened, with the command chosen (0 for none, or while it is open).
struct TrackedMenu {
  PopupMenuView view;
  UINT chosen;
};
const std::vector<TrackedMenu>& trackedMenus();

// The items of a menu as they are now; empty for a handle that is no menu.
std::vector<MenuItemView> menuItems(HMENU menu);

// How many menus exist (made and not yet destroyed).
std::size_t menuCount();

// The tray icons, in the order they were added.
struct TrayIcon {
  HWND window;
  UINT id;
  UINT flags;  // the NIF_ flags given when it was added or last changed
  UINT callbackMessage;
  HICON icon;
  std::string tip;
};
std::vector<TrayIcon> trayIcons();

// Every ShellExecuteA request since the reset, in order, as the scripted
// host received it (it opens nothing).
const std::vector<ShellRequest>& shellRequests();

// Whether GDI+ is started (GdiplusStartup without its GdiplusShutdown).
bool gdiplusRunning();

// The screen as a user sees it: every visible window composed over an
// opaque background, from the bottom of the Z order up. A layered window
// shows the content UpdateLayeredWindow gave it (nothing before that), its
// pixels blended with their alpha and the constant alpha; any other window,
// whose painting the model does not draw, is an opaque white rectangle;
// minimized windows are not shown. Pixels are 0xAARRGGBB, always opaque
// (so premultiplied and straight are the same), top row first, of the
// region with (x, y) at its top left; any region composes, also beyond the
// screen's 1920 by 1080 pixels. Empty for a width or height below 1.
const std::uint32_t kScreenBackground = 0xFF000000;
std::vector<std::uint32_t> screenPixels(int x, int y, int width, int height);

// How many device contexts (window and screen DCs not yet released, memory
// DCs not yet deleted) and bitmaps (DIB sections not yet deleted, also
// those whose deletion waits until they leave their DC) exist: what a
// program leaks shows here.
std::size_t deviceContextCount();
std::size_t bitmapCount();

// The GDI+ objects that exist, by kind: pictures (GdipCreateBitmapFromFile)
// not yet disposed, graphics (GdipCreateFromHDC) not yet deleted, image
// attributes not yet disposed. An object disposed of after GdiplusShutdown
// stays, as that call fails; a reset ends them all.
struct GdiplusObjectCounts {
  std::size_t images;
  std::size_t graphics;
  std::size_t imageAttributes;
};
GdiplusObjectCounts liveGdiplusObjects();

// What UpdateLayeredWindow last gave a window: its size, its pixels as
// premultiplied 0xAARRGGBB, top row first, and the constant alpha (255 for
// content given without ULW_ALPHA). Null for a window without content.
struct LayeredContent {
  int width = 0;
  int height = 0;
  int constantAlpha = 0;
  std::vector<std::uint32_t> pixels;
};
std::unique_ptr<LayeredContent> layeredContent(HWND window);

// Everything the desktop counts that a program can leak, in one value to
// compare before and after.
struct ObjectCounts {
  std::size_t windows = 0;
  std::size_t classes = 0;  // registered by any module
  std::size_t menus = 0;
  std::size_t trayIcons = 0;
  std::size_t deviceContexts = 0;
  std::size_t bitmaps = 0;
  std::size_t gdiplusImages = 0;
  std::size_t gdiplusGraphics = 0;
  std::size_t gdiplusImageAttributes = 0;

  bool operator==(const ObjectCounts& other) const;
  bool operator!=(const ObjectCounts& other) const { return !(*this == other); }
};
ObjectCounts objectCounts();

// "windows 2, classes 2, menus 1, ..." for failure messages.
std::ostream& operator<<(std::ostream& stream, const ObjectCounts& counts);

// The picture of an icon made by LoadImageA or LoadIconA from a resource:
// its size, the bits per pixel of the image it came from, and its pixels,
// top row first, each 0xAARRGGBB with straight alpha (a 32-bit image's own
// alpha, even when it is 0 throughout; a 24-bit image's from its AND mask).
struct IconImage {
  int width;
  int height;
  int bitsPerPixel;
  std::vector<std::uint32_t> pixels;
};

// The picture of a loaded icon; null for a handle that is no loaded icon
// (the shared system icons have no picture here).
const IconImage* iconImage(HICON icon);

}  // namespace desktop

namespace script {

// A step of the test itself, run when the program waits for input. Steps
// that a user could take are input events (below); a test that must reach
// inside the program (post a message as another program would, read state
// while the program waits) queues an action and says why.
using Action = std::function<void()>;

// Queue a step; steps run one at a time, in the order queued, whenever the
// program waits for input: GetMessageA with an empty queue, or the modal
// loop of a message box.
void then(Action action);

// The user moves the cursor to a screen point, or presses or releases a
// mouse button where the cursor is. The desktop queues the mouse messages
// Win32 would, for the window that has the capture or the one under the
// cursor.
// `window`, where given, is the window a display found the cursor in.
void moveCursor(int x, int y, HWND window = NULL);
void pressButton(MouseButton button);
void releaseButton(MouseButton button);

// Move there, press and release.
void click(int x, int y, MouseButton button);

// The window manager (or another program) moves a window of the program:
// its top left corner is then at x, y.
void moveWindowByDesktop(HWND window, int x, int y);

// The user presses a button (IDOK...) of the message box that is open then.
void pressMessageBoxButton(int button);

// The user clicks the tray icon (the first one, or the one of that window
// and id): the button goes down, then up, and the icon's window gets both
// in its callback message. trayIconMouse sends one mouse message of any
// kind (a release, a double click, a move).
void clickTrayIcon(MouseButton button, HWND window = NULL, UINT id = 0);
void trayIconMouse(UINT mouseMessage, HWND window = NULL, UINT id = 0);

// The user chooses an item of the menu being tracked, by command id or by
// its text, or dismisses the menu.
void chooseMenuItem(UINT command);
void chooseMenuItem(const std::string& text);
void dismissMenu();

// How many queued steps have not run yet.
std::size_t pendingActions();

// Called when the program waits for input and the script is exhausted, with
// the call it waits in ("GetMessageA", "MessageBoxA"). The default prints a
// clear message to stderr and ends the process with exit status 3, so that a
// test fails instead of hanging. A handler that returns lets the waiting
// call give up: GetMessageA returns -1, MessageBoxA returns 0.
// An input event that cannot be carried out (a message box button pressed
// when no box is open, or one the open box does not have) is reported on
// stderr and goes to the same handler; nothing changes.
using ExhaustedHandler = std::function<void(const char* waitingIn)>;
void onExhausted(ExhaustedHandler handler);

}  // namespace script

// Resources that the Windows build takes from the .rc file are linked into
// the Linux build as data and registered under the program's module.
// An icon group (RT_GROUP_ICON) is given as the bytes of an .ico file.
void addModuleResource(LPCSTR type, LPCSTR name, const void* data, std::size_t size);

}  // namespace platform
