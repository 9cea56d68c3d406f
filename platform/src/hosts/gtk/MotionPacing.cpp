#include "hosts/gtk/MotionPacing.h"

namespace platform {
namespace gtk {

namespace {

// A frame of a 120 Hz screen: a motion waits at most this long, well
// within the frame of a 60 Hz one.
const gint64 kFrameMicroseconds = 8333;
// How much later than the frame's end the pending motion goes when no
// newer one came. While the pointer moves, the next motion takes it on
// first (a mouse that reports often enough to cost anything does so every
// 1 to 4 ms), and the loop wakes for the motions alone, not also for a
// timer each frame.
const gint64 kQuietMicroseconds = 4000;

}  // namespace

MotionPacing::~MotionPacing() {
  if (timer_) {
    g_source_remove(timer_);
  }
}

void MotionPacing::moved(POINT point, HWND window) {
  pending_ = true;
  point_ = point;
  window_ = window;
  gint64 wait = lastHandedOn_ + kFrameMicroseconds - now_();
  if (wait <= 0) {
    flush();
    return;
  }
  if (!timer_) {
    timer_ = g_timeout_add(static_cast<guint>((wait + kQuietMicroseconds + 999) / 1000), onFrameEnd, this);
  }
}

void MotionPacing::flush() {
  if (timer_) {
    g_source_remove(timer_);
    timer_ = 0;
  }
  if (pending_) {
    input_.push(input::MoveCursor{point_, window_});
    pending_ = false;
    lastHandedOn_ = now_();
  }
}

gboolean MotionPacing::onFrameEnd(gpointer self) {
  MotionPacing& pacing = *static_cast<MotionPacing*>(self);
  pacing.timer_ = 0;
  pacing.flush();
  return G_SOURCE_REMOVE;
}

}  // namespace gtk
}  // namespace platform
