#include "hosts/gtk/MotionPacing.h"

namespace platform {
namespace gtk {

namespace {

// A frame of a 120 Hz screen: a motion waits at most this long, well
// within the frame of a 60 Hz one.
const gint64 kFrameMicroseconds = 8333;

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
  if (timer_) {
    return;
  }
  gint64 wait = lastHandedOn_ + kFrameMicroseconds - now_();
  if (wait <= 0) {
    flush();
    return;
  }
  timer_ = g_timeout_add(static_cast<guint>((wait + 999) / 1000), onFrameEnd, this);
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
