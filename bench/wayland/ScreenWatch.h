// The presenter's pictures as the compositor shows them: a few pixels of
// each, read from the frames of the output. Wayland tells another client
// nothing of a program's surfaces, so the pixels are all there is: the
// pictures count as shown when the points are what the presenter's own
// first settled run showed there. Two points a picture: which of two
// overlapping layer surfaces is drawn on top is the compositor's choice
// (sway 1.7 draws the oldest on top, X11 desktops the newest), and each
// picture has a point no other covers in either order. Each look waits
// for the output's next frame, so its resolution is one frame.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "WaylandConnection.h"

namespace waylandtiming {

struct ScreenPoint {
  int x;
  int y;
};

using Samples = std::vector<std::uint32_t>;

// Whether two sample lists agree within one a channel.
bool sameSamples(const Samples& expected, const Samples& actual);

class ScreenWatch {
 public:
  // Every point must be inside `area`, the box captured.
  ScreenWatch(WaylandConnection& connection, const Box& area, std::vector<ScreenPoint> points);

  WaylandConnection& connection() { return connection_; }
  // Called before each look while waiting: throws to stop the wait (when
  // the presenter ended, say).
  void setCheck(std::function<void()> check) { check_ = std::move(check); }

  // The next frame's pixels at the points; `presentedAt`, when given, is
  // when that frame was presented.
  Samples samples(double* presentedAt = nullptr);

  // Waits for the first frame whose samples equal `expected`; when it was
  // presented, or a negative number when none was before `deadline`.
  double waitUntilEqual(const Samples& expected, double deadline);
  // Waits for the first frame where some sample differs from `shown`.
  double waitUntilChanged(const Samples& shown, double deadline);
  // Waits for the first frame where every point differs from `bare`.
  double waitUntilAllDiffer(const Samples& bare, double deadline);

  // Once every point differs from `bare`, waits until none changed
  // for `quiet` seconds; the samples then, or none at `deadline`.
  Samples settledSamples(const Samples& bare, double quiet, double deadline);

 private:
  WaylandConnection& connection_;
  std::vector<ScreenPoint> points_;
  Box box_{};
  std::function<void()> check_;
};

}  // namespace waylandtiming
