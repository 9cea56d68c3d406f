#include "hosts/gtk/MotionPacing.h"

namespace platform {
namespace gtk {

namespace {

// A frame of a 120 Hz screen: a motion waits at most this long, well
// within the frame of a 60 Hz one.
const gint64 kFrameMicroseconds = 8333;

// The pacing whose display is held: the loop's poll function has no data
// of its own, and one display at a time is all a program has.
MotionPacing* holder = nullptr;

}  // namespace

MotionPacing::~MotionPacing() {
  if (timer_) {
    g_source_remove(timer_);
  }
  releaseDisplay();
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
  holdDisplay();
}

void MotionPacing::flush() {
  if (timer_) {
    g_source_remove(timer_);
    timer_ = 0;
  }
  releaseDisplay();
  if (pending_) {
    input_.push(input::MoveCursor{point_, window_});
    pending_ = false;
    lastHandedOn_ = now_();
  }
}

// The frame's end: what the display sent meanwhile is read first, since
// its events come before a source of lower priority, and then the newest
// of the motions goes on.
gboolean MotionPacing::onFrameEnd(gpointer self) {
  MotionPacing& pacing = *static_cast<MotionPacing*>(self);
  pacing.releaseDisplay();
  pacing.timer_ = g_idle_add_full(G_PRIORITY_DEFAULT + 1, onEventsRead, self, nullptr);
  return G_SOURCE_REMOVE;
}

gboolean MotionPacing::onEventsRead(gpointer self) {
  MotionPacing& pacing = *static_cast<MotionPacing*>(self);
  pacing.timer_ = 0;
  pacing.flush();
  return G_SOURCE_REMOVE;
}

void MotionPacing::holdDisplay() {
  if (display_ >= 0 && !holder) {
    holder = this;
    g_main_context_set_poll_func(nullptr, pollHoldingDisplay);
  }
}

void MotionPacing::releaseDisplay() {
  if (holder == this) {
    holder = nullptr;
    g_main_context_set_poll_func(nullptr, nullptr);
  }
}

// The loop waits for everything but the display until the frame's timer or
// another source wakes it.
gint MotionPacing::pollHoldingDisplay(GPollFD* files, guint count, gint timeout) {
  GPollFD* display = nullptr;
  for (guint index = 0; index < count && holder && !display; ++index) {
    if (files[index].fd == holder->display_) {
      display = &files[index];
    }
  }
  if (!display) {
    return g_poll(files, count, timeout);
  }
  gushort events = display->events;
  display->events = 0;
  gint ready = g_poll(files, count, timeout);
  display->events = events;
  return ready;
}

}  // namespace gtk
}  // namespace platform
