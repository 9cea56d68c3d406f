// The program's pictures as the X server shows them: which of its picture
// windows are mapped (followed through the root window's structure events,
// not by walking the tree on every look), and one pixel of each picture on
// the composed screen.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <vector>

namespace desktoptiming {

struct ScreenPoint {
  int x;
  int y;
};

class PictureWatch {
 public:
  // Picture windows are the program's mapped top-level windows of this
  // size. `samples` are the screen points that tell each picture is
  // painted: one a picture, where no later picture covers it.
  PictureWatch(int pictureWidth, int pictureHeight, std::vector<ScreenPoint> samples);
  ~PictureWatch();
  PictureWatch(const PictureWatch&) = delete;
  PictureWatch& operator=(const PictureWatch&) = delete;

  Display* display() const { return display_; }

  // Windows known so far are old from now on: the start of a Reload. A
  // window mapped again after this counts as new, so a host that keeps its
  // native windows across a Reload and maps them again is seen showing
  // the pictures; one that keeps them mapped and only paints is not.
  void markOld();

  // The top-level windows of `pid` known now, for waitUntilReleased once
  // it has ended.
  std::set<Window> windowsOf(int pid);

  // Waits until the window manager has let go of every one of `windows`
  // (none is in _NET_CLIENT_LIST) and the X server has been asked and has
  // answered after that; whether it did before `deadline`.
  bool waitUntilReleased(const std::set<Window>& windows, double deadline);

  // Handles the X events that come within `seconds`.
  void pumpEvents(double seconds) { waitForEvents(seconds); }

  // Called for each move or resize of a top-level window (a frame, when
  // the window manager reparents), with its new place.
  std::function<void(Window, int, int)> configured;

  // The screen at the sample points, 0xRRGGBB each.
  std::vector<std::uint32_t> samples();

  // Waits until `count` picture windows of `pid` made since markOld are
  // mapped and the samples equal `expected` within one a channel (with no
  // `expected`, only the windows). Whether that happened before `deadline`
  // (a time of now()). `mappedAt`, when given, is when the windows were all
  // mapped.
  bool waitUntilShown(int pid, int count, const std::vector<std::uint32_t>* expected, double deadline,
                      double* mappedAt = nullptr);

  // Waits until `count` picture windows are mapped and the samples have not
  // changed for `quiet` seconds; the samples then, or none at `deadline`.
  std::vector<std::uint32_t> settledSamples(int pid, int count, double quiet, double deadline);

  // The newest mapped picture window of `pid` whose top left is there, or 0.
  Window pictureAt(int pid, int x, int y);
  ScreenPoint placeOf(Window window);

 private:
  struct Tracked {
    bool old = false;
    bool mapped = false;
    bool known = false;    // whether pid and size were read since it was mapped
    bool picture = false;  // of the program, of a picture's size
    int pid = 0;
  };

  void handlePending();
  void waitForEvents(double seconds);
  void learn(Window window, Tracked& tracked);
  int newPicturesMapped(int pid);
  int pidOf(Window window);

  Display* display_;
  Window root_;
  int pictureWidth_;
  int pictureHeight_;
  std::vector<ScreenPoint> samples_;
  std::map<Window, Tracked> windows_;
};

// Whether two sample lists agree within one a channel.
bool sameSamples(const std::vector<std::uint32_t>& expected, const std::vector<std::uint32_t>& actual);

}  // namespace desktoptiming
