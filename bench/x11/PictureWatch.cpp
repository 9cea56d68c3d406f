#include "PictureWatch.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

#include "ChildProcess.h"

namespace desktoptiming {

namespace {

// Windows go away between an event and the question about them: the
// program destroys its pictures on every Reload.
int ignoreErrors(Display*, XErrorEvent*) { return 0; }

// How long to wait for X events before looking at the screen again once
// every window is there: short, since the painting follows the mapping
// closely, and the pixels are ten small requests.
const double kPollSeconds = 0.002;

}  // namespace

bool sameSamples(const std::vector<std::uint32_t>& expected, const std::vector<std::uint32_t>& actual) {
  if (expected.size() != actual.size()) {
    return false;
  }
  for (std::size_t index = 0; index < expected.size(); ++index) {
    for (int shift : {16, 8, 0}) {
      if (std::abs(static_cast<int>((expected[index] >> shift) & 0xFF) -
                   static_cast<int>((actual[index] >> shift) & 0xFF)) > 1) {
        return false;
      }
    }
  }
  return true;
}

PictureWatch::PictureWatch(int pictureWidth, int pictureHeight, std::vector<ScreenPoint> samples)
    : display_(XOpenDisplay(nullptr)),
      pictureWidth_(pictureWidth),
      pictureHeight_(pictureHeight),
      samples_(std::move(samples)) {
  if (!display_) {
    throw std::runtime_error("cannot open the X display");
  }
  XSetErrorHandler(ignoreErrors);
  root_ = DefaultRootWindow(display_);
  XSelectInput(display_, root_, SubstructureNotifyMask);
  XSync(display_, False);
}

PictureWatch::~PictureWatch() { XCloseDisplay(display_); }

void PictureWatch::markOld() {
  handlePending();
  for (auto& entry : windows_) {
    entry.second.old = true;
  }
}

// A top-level window is followed from its creation; a window manager that
// reparents it into a frame still reports its own mapping to it.
void PictureWatch::handlePending() {
  while (XPending(display_) > 0) {
    XEvent event;
    XNextEvent(display_, &event);
    switch (event.type) {
      case CreateNotify:
        if (event.xcreatewindow.parent == root_) {
          Window window = event.xcreatewindow.window;
          windows_[window] = Tracked{};
          XSelectInput(display_, window, StructureNotifyMask);
          XWindowAttributes attributes;
          if (XGetWindowAttributes(display_, window, &attributes) && attributes.map_state == IsViewable) {
            windows_[window].mapped = true;
          }
        }
        break;
      case MapNotify: {
        auto found = windows_.find(event.xmap.window);
        if (found != windows_.end()) {
          found->second.mapped = true;
          found->second.known = false;
          found->second.old = false;
        }
        break;
      }
      case ConfigureNotify:
        if (configured && event.xconfigure.event == root_) {
          configured(event.xconfigure.window, event.xconfigure.x, event.xconfigure.y);
        }
        break;
      case UnmapNotify: {
        auto found = windows_.find(event.xunmap.window);
        if (found != windows_.end()) {
          found->second.mapped = false;
        }
        break;
      }
      case DestroyNotify:
        windows_.erase(event.xdestroywindow.window);
        break;
      default:
        break;
    }
  }
}

void PictureWatch::waitForEvents(double seconds) {
  XFlush(display_);
  if (XPending(display_) == 0) {
    pollfd wanted = {ConnectionNumber(display_), POLLIN, 0};
    poll(&wanted, 1, std::max(1, static_cast<int>(seconds * 1000)));
  }
  handlePending();
}

std::set<Window> PictureWatch::windowsOf(int pid) {
  handlePending();
  std::set<Window> result;
  for (auto& entry : windows_) {
    if (!entry.second.known) {
      learn(entry.first, entry.second);
    }
    if (entry.second.pid == pid) {
      result.insert(entry.first);
    }
  }
  return result;
}

// An instance started while the window manager still holds the last one's
// windows can be given their X ids again, and a compositor that has not
// caught up keeps painting what it knew under them.
bool PictureWatch::waitUntilReleased(const std::set<Window>& windows, double deadline) {
  Atom clientList = XInternAtom(display_, "_NET_CLIENT_LIST", False);
  while (now() < deadline) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    bool held = false;
    if (XGetWindowProperty(display_, root_, clientList, 0, 65536, False, XA_WINDOW, &type, &format, &count, &after,
                           &data) == Success &&
        data) {
      const unsigned long* clients = reinterpret_cast<const unsigned long*>(data);
      for (unsigned long index = 0; index < count && !held; ++index) {
        held = windows.count(clients[index]) > 0;
      }
    }
    if (data) {
      XFree(data);
    }
    if (!held) {
      XSync(display_, False);
      handlePending();
      return true;
    }
    waitForEvents(kPollSeconds);
  }
  return false;
}

int PictureWatch::pidOf(Window window) {
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  int pid = 0;
  if (XGetWindowProperty(display_, window, XInternAtom(display_, "_NET_WM_PID", False), 0, 1, False, XA_CARDINAL,
                         &type, &format, &count, &after, &data) == Success &&
      data && count == 1) {
    pid = static_cast<int>(*reinterpret_cast<unsigned long*>(data));
  }
  if (data) {
    XFree(data);
  }
  return pid;
}

void PictureWatch::learn(Window window, Tracked& tracked) {
  XWindowAttributes attributes;
  tracked.pid = pidOf(window);
  tracked.picture = XGetWindowAttributes(display_, window, &attributes) && attributes.width == pictureWidth_ &&
                    attributes.height == pictureHeight_;
  tracked.known = true;
}

int PictureWatch::newPicturesMapped(int pid) {
  int count = 0;
  for (auto& entry : windows_) {
    Tracked& tracked = entry.second;
    if (tracked.old || !tracked.mapped) {
      continue;
    }
    if (!tracked.known) {
      learn(entry.first, tracked);
    }
    count += tracked.picture && tracked.pid == pid;
  }
  return count;
}

// The sample points share a few rows: one request a row.
std::vector<std::uint32_t> PictureWatch::samples() {
  std::vector<std::uint32_t> result(samples_.size(), 0);
  std::map<int, std::vector<std::size_t>> rows;
  for (std::size_t index = 0; index < samples_.size(); ++index) {
    rows[samples_[index].y].push_back(index);
  }
  for (const auto& row : rows) {
    int left = samples_[row.second.front()].x, right = left;
    for (std::size_t index : row.second) {
      left = std::min(left, samples_[index].x);
      right = std::max(right, samples_[index].x);
    }
    XImage* image = XGetImage(display_, root_, left, row.first, static_cast<unsigned>(right - left + 1), 1, AllPlanes,
                              ZPixmap);
    if (!image) {
      continue;
    }
    for (std::size_t index : row.second) {
      result[index] = static_cast<std::uint32_t>(XGetPixel(image, samples_[index].x - left, 0) & 0xFFFFFF);
    }
    XDestroyImage(image);
  }
  return result;
}

bool PictureWatch::waitUntilShown(int pid, int count, const std::vector<std::uint32_t>* expected, double deadline,
                                  double* mappedAt) {
  handlePending();
  bool mapped = false;
  while (now() < deadline) {
    if (newPicturesMapped(pid) == count) {
      if (!mapped && mappedAt) {
        *mappedAt = now();
      }
      mapped = true;
      if (!expected || sameSamples(*expected, samples())) {
        return true;
      }
    }
    waitForEvents(kPollSeconds);
  }
  return false;
}

std::vector<std::uint32_t> PictureWatch::settledSamples(int pid, int count, double quiet, double deadline) {
  if (!waitUntilShown(pid, count, nullptr, deadline)) {
    return {};
  }
  std::vector<std::uint32_t> last = samples();
  double since = now();
  while (now() < deadline) {
    sleepFor(0.05);
    std::vector<std::uint32_t> current = samples();
    if (current != last) {
      last = current;
      since = now();
    } else if (now() - since >= quiet) {
      return last;
    }
  }
  return {};
}

ScreenPoint PictureWatch::placeOf(Window window) {
  int x = 0, y = 0;
  Window child = 0;
  XTranslateCoordinates(display_, window, root_, 0, 0, &x, &y, &child);
  return ScreenPoint{x, y};
}

Window PictureWatch::pictureAt(int pid, int x, int y) {
  handlePending();
  newPicturesMapped(pid);
  for (auto& entry : windows_) {
    const Tracked& tracked = entry.second;
    if (tracked.mapped && tracked.known && tracked.picture && tracked.pid == pid) {
      ScreenPoint place = placeOf(entry.first);
      if (place.x == x && place.y == y) {
        return entry.first;
      }
    }
  }
  return 0;
}

}  // namespace desktoptiming
