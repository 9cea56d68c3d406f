// The pointer's motion handed to the desktop at most once a frame, as
// Windows hands a program only the newest mouse move when it asks. A mouse
// reports up to a thousand motions a second; each one a picture follows
// costs a move and the window manager's answer, while the screen shows
// only a hundred and twenty of them at most. The first motion after a
// pause goes on at once; the newest of those that follow within the frame
// goes at its end. A button's press or release takes the pending motion
// with it first, so a click lands where the pointer was.
//
// While a motion waits for its frame's end, the display connection is not
// read: what comes meanwhile (the next motions, a button) is read at the
// end, all at once, and in its order. Without that the loop woke for each
// motion only to set it aside.
#pragma once

#include "hosts/gtk/InputQueue.h"

#include <glib.h>


namespace platform {
namespace gtk {

class MotionPacing {
 public:
  // `display` is the display connection's file descriptor (-1: none);
  // `now` the monotonic clock in microseconds.
  explicit MotionPacing(InputQueue& input, int display = -1, gint64 (*now)() = g_get_monotonic_time)
      : input_(input), display_(display), now_(now) {}
  ~MotionPacing();
  MotionPacing(const MotionPacing&) = delete;
  MotionPacing& operator=(const MotionPacing&) = delete;

  void moved(POINT point, HWND window);
  // The pending motion, now.
  void flush();

 private:
  static gboolean onFrameEnd(gpointer self);
  static gboolean onEventsRead(gpointer self);
  void holdDisplay();
  void releaseDisplay();
  static gint pollHoldingDisplay(GPollFD* files, guint count, gint timeout);

  InputQueue& input_;
  int display_;
  gint64 (*now_)();
  // The newest motion not handed on yet.
  bool pending_ = false;
  POINT point_ = {};
  HWND window_ = NULL;
  gint64 lastHandedOn_ = 0;
  // The frame's timer, then the turn after the display's events are read.
  guint timer_ = 0;
};

}  // namespace gtk
}  // namespace platform
