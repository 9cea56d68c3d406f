// The pointer's motion handed to the desktop at most once a frame, as
// Windows hands a program only the newest mouse move when it asks. A mouse
// reports up to a thousand motions a second; each one a picture follows
// costs a move and the window manager's answer, while the screen shows
// only a hundred and twenty of them at most. The first motion after a
// pause goes on at once; the first after the frame's end takes the newest
// on, or when none comes, the pending one goes shortly after. A button's press or release takes the pending motion
// with it first, so a click lands where the pointer was.
#pragma once

#include "hosts/gtk/InputQueue.h"

#include <glib.h>


namespace platform {
namespace gtk {

class MotionPacing {
 public:
  // `now` is the monotonic clock in microseconds.
  explicit MotionPacing(InputQueue& input, gint64 (*now)() = g_get_monotonic_time) : input_(input), now_(now) {}
  ~MotionPacing();
  MotionPacing(const MotionPacing&) = delete;
  MotionPacing& operator=(const MotionPacing&) = delete;

  void moved(POINT point, HWND window);
  // The pending motion, now.
  void flush();

 private:
  static gboolean onFrameEnd(gpointer self);

  InputQueue& input_;
  gint64 (*now_)();
  // The newest motion not handed on yet.
  bool pending_ = false;
  POINT point_ = {};
  HWND window_ = NULL;
  gint64 lastHandedOn_ = 0;
  guint timer_ = 0;
};

}  // namespace gtk
}  // namespace platform
