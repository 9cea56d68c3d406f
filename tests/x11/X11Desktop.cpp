#include "X11Desktop.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <stdexcept>

namespace x11test {

namespace {

// X errors for windows that went away between a query and the next are
// expected here: the program creates and destroys windows as it likes.
int ignoreErrors(Display*, XErrorEvent*) { return 0; }

}  // namespace

X11Desktop::X11Desktop() : display_(XOpenDisplay(nullptr)) {
  if (!display_) {
    throw std::runtime_error("cannot open the X display; run these tests in scripts/test-linux-desktop");
  }
  XSetErrorHandler(ignoreErrors);
}

X11Desktop::~X11Desktop() { XCloseDisplay(display_); }

std::vector<Window> X11Desktop::allWindows() {
  std::vector<Window> found;
  std::vector<Window> pending{DefaultRootWindow(display_)};
  while (!pending.empty()) {
    Window window = pending.back();
    pending.pop_back();
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display_, window, &root, &parent, &children, &count)) {
      for (unsigned int index = 0; index < count; ++index) {
        found.push_back(children[index]);
        pending.push_back(children[index]);
      }
      XFree(children);
    }
  }
  return found;
}

int X11Desktop::pidOf(Window window) {
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  Atom property = XInternAtom(display_, "_NET_WM_PID", False);
  int pid = 0;
  if (XGetWindowProperty(display_, window, property, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after,
                         &data) == Success &&
      data && count == 1) {
    pid = static_cast<int>(*reinterpret_cast<unsigned long*>(data));
  }
  if (data) {
    XFree(data);
  }
  return pid;
}

std::string X11Desktop::titleOf(Window window) {
  char* name = nullptr;
  std::string title;
  if (XFetchName(display_, window, &name) && name) {
    title = name;
    XFree(name);
  }
  return title;
}

std::vector<Window> X11Desktop::mappedWindowsOf(int pid) {
  std::vector<Window> mapped;
  for (Window window : allWindows()) {
    XWindowAttributes attributes;
    if (pidOf(window) == pid && XGetWindowAttributes(display_, window, &attributes) &&
        attributes.map_state == IsViewable) {
      mapped.push_back(window);
    }
  }
  return mapped;
}

Window X11Desktop::windowTitled(int pid, const std::string& title) {
  for (Window window : mappedWindowsOf(pid)) {
    if (titleOf(window) == title) {
      return window;
    }
  }
  return 0;
}

Window X11Desktop::windowAt(int pid, int x, int y) {
  for (Window window : mappedWindowsOf(pid)) {
    Rectangle place = geometry(window);
    if (place.x == x && place.y == y) {
      return window;
    }
  }
  return 0;
}

Rectangle X11Desktop::geometry(Window window) {
  XWindowAttributes attributes{};
  XGetWindowAttributes(display_, window, &attributes);
  int x = 0, y = 0;
  Window child = 0;
  XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &x, &y, &child);
  return Rectangle{x, y, attributes.width, attributes.height};
}

bool X11Desktop::exists(Window window) {
  XWindowAttributes attributes;
  return XGetWindowAttributes(display_, window, &attributes) != 0;
}

bool X11Desktop::hasState(Window window, const char* state) {
  Atom wanted = XInternAtom(display_, state, False);
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  bool found = false;
  if (XGetWindowProperty(display_, window, XInternAtom(display_, "_NET_WM_STATE", False), 0, 64, False, XA_ATOM,
                         &type, &format, &count, &after, &data) == Success &&
      data) {
    Atom* states = reinterpret_cast<Atom*>(data);
    for (unsigned long index = 0; index < count; ++index) {
      found = found || states[index] == wanted;
    }
  }
  if (data) {
    XFree(data);
  }
  return found;
}

std::vector<std::uint32_t> X11Desktop::pixels(const Rectangle& area) {
  std::vector<std::uint32_t> result;
  XImage* image = XGetImage(display_, DefaultRootWindow(display_), area.x, area.y, area.width, area.height,
                            AllPlanes, ZPixmap);
  if (!image) {
    return result;
  }
  for (int y = 0; y < area.height; ++y) {
    for (int x = 0; x < area.width; ++x) {
      result.push_back(0xFF000000u | (XGetPixel(image, x, y) & 0xFFFFFFu));
    }
  }
  XDestroyImage(image);
  return result;
}

void X11Desktop::moveWindow(Window window, int x, int y) {
  XMoveWindow(display_, window, x, y);
  XSync(display_, False);
}

// Mapped anew, as window managers put a new window above its peers (they
// refuse to raise a window that is not focused when it asks).
void X11Desktop::raise(Window window) {
  XUnmapWindow(display_, window);
  XSync(display_, False);
  waitUntil([&] { return !isViewable(window); });
  XMapWindow(display_, window);
  XSync(display_, False);
  waitUntil([&] { return isViewable(window); });
}

bool X11Desktop::isViewable(Window window) {
  XWindowAttributes attributes{};
  return XGetWindowAttributes(display_, window, &attributes) && attributes.map_state == IsViewable;
}

// A desktop window, as a file manager shows its icons in: the window
// manager keeps it below every other window.
Window X11Desktop::createClickTarget(const Rectangle& area) {
  return createWindow(area, 0xFFFFFF, "_NET_WM_WINDOW_TYPE_DESKTOP", ButtonPressMask);
}

Window X11Desktop::createNormalWindow(const Rectangle& area, std::uint32_t colour) {
  return createWindow(area, colour, "_NET_WM_WINDOW_TYPE_NORMAL", NoEventMask);
}

// Placed where asked (the window manager honours a user's position), on a
// 24-bit screen where a pixel value is its 0xRRGGBB.
Window X11Desktop::createWindow(const Rectangle& area, std::uint32_t colour, const char* type, long events) {
  Window window = XCreateSimpleWindow(display_, DefaultRootWindow(display_), area.x, area.y,
                                      static_cast<unsigned>(area.width), static_cast<unsigned>(area.height), 0, 0,
                                      colour);
  Atom windowType = XInternAtom(display_, type, False);
  XChangeProperty(display_, window, XInternAtom(display_, "_NET_WM_WINDOW_TYPE", False), XA_ATOM, 32,
                  PropModeReplace, reinterpret_cast<unsigned char*>(&windowType), 1);
  XSizeHints hints{};
  hints.flags = USPosition | USSize;
  hints.x = area.x;
  hints.y = area.y;
  hints.width = area.width;
  hints.height = area.height;
  XSetWMNormalHints(display_, window, &hints);
  XSelectInput(display_, window, events);
  XMapWindow(display_, window);
  XSync(display_, False);
  waitUntil([&] { return isViewable(window); });
  return window;
}

bool X11Desktop::wasPressed(Window window) {
  XEvent event;
  XSync(display_, False);
  return XCheckWindowEvent(display_, window, ButtonPressMask, &event) == True;
}

void X11Desktop::watchGoing(Window window) {
  XSelectInput(display_, window, StructureNotifyMask);
  XSync(display_, False);
}

std::vector<Window> X11Desktop::gone() {
  XSync(display_, False);
  XEvent event;
  while (XCheckMaskEvent(display_, StructureNotifyMask, &event)) {
    Window window = event.type == UnmapNotify     ? event.xunmap.window
                    : event.type == DestroyNotify ? event.xdestroywindow.window
                                                  : 0;
    if (window && std::find(gone_.begin(), gone_.end(), window) == gone_.end()) {
      gone_.push_back(window);
    }
  }
  return gone_;
}

int X11Desktop::embedderOf(Window window) {
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  while (window && XQueryTree(display_, window, &root, &parent, &children, &count)) {
    if (children) {
      XFree(children);
    }
    if (parent == 0 || parent == root) {
      return 0;
    }
    if (int pid = pidOf(parent)) {
      return pid;
    }
    window = parent;
  }
  return 0;
}

Window X11Desktop::selectionOwner(const std::string& selection) {
  return XGetSelectionOwner(display_, XInternAtom(display_, selection.c_str(), False));
}

void X11Desktop::moveTo(int x, int y) {
  XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
  XSync(display_, False);
}

void X11Desktop::press(int button) {
  XTestFakeButtonEvent(display_, static_cast<unsigned>(button), True, CurrentTime);
  XSync(display_, False);
}

void X11Desktop::release(int button) {
  XTestFakeButtonEvent(display_, static_cast<unsigned>(button), False, CurrentTime);
  XSync(display_, False);
}

void X11Desktop::click(int x, int y, int button) {
  moveTo(x, y);
  press(button);
  release(button);
}

void X11Desktop::key(const char* keysym) {
  KeyCode code = XKeysymToKeycode(display_, XStringToKeysym(keysym));
  XTestFakeKeyEvent(display_, code, True, CurrentTime);
  XTestFakeKeyEvent(display_, code, False, CurrentTime);
  XSync(display_, False);
}

}  // namespace x11test
