#include "hosts/wayland/HeldConfigures.h"

#include <gdk/gdkwayland.h>

namespace platform {
namespace wayland {

namespace {

const guint kAnswerAfterMilliseconds = 100;

}  // namespace

// Wakes when GDK has read configures into the queue, and only until an
// answer is on its way: the loop would spin on events left there.
struct HeldConfigures::WatchSource {
  GSource source;
  HeldConfigures* owner;

  static gboolean ready(GSource* source) {
    HeldConfigures& owner = *reinterpret_cast<WatchSource*>(source)->owner;
    return !owner.answerSource_ && owner.waiting();
  }
  static gboolean prepare(GSource* source, gint* timeout) {
    *timeout = -1;
    return ready(source);
  }
  static gboolean dispatch(GSource* source, GSourceFunc, gpointer) {
    reinterpret_cast<WatchSource*>(source)->owner->answerSoon();
    return G_SOURCE_CONTINUE;
  }
};

HeldConfigures::HeldConfigures() {
  display_ = gdk_wayland_display_get_wl_display(gdk_display_get_default());
  queue_ = wl_display_create_queue(display_);
  static GSourceFuncs functions = {WatchSource::prepare, WatchSource::ready, WatchSource::dispatch, nullptr,
                                   nullptr, nullptr};
  watch_ = g_source_new(&functions, sizeof(WatchSource));
  reinterpret_cast<WatchSource*>(watch_)->owner = this;
  g_source_attach(watch_, nullptr);
}

// The surfaces are gone by now (their owner destroys them first), so no
// object is left on the queue.
HeldConfigures::~HeldConfigures() {
  if (answerSource_) {
    g_source_remove(answerSource_);
  }
  g_source_destroy(watch_);
  g_source_unref(watch_);
  wl_display_dispatch_queue_pending(display_, queue_);
  wl_event_queue_destroy(queue_);
}

void HeldConfigures::hold(zwlr_layer_surface_v1* layer) {
  wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(layer), queue_);
}

// Whether configures wait in the queue: reading is only prepared when the
// queue is empty.
bool HeldConfigures::waiting() {
  if (wl_display_prepare_read_queue(display_, queue_) != 0) {
    return true;
  }
  wl_display_cancel_read(display_);
  return false;
}

void HeldConfigures::answerSoon() {
  if (!answerSource_) {
    answerSource_ = g_timeout_add(kAnswerAfterMilliseconds, answer, this);
  }
}

gboolean HeldConfigures::answer(gpointer self) {
  HeldConfigures& held = *static_cast<HeldConfigures*>(self);
  held.answerSource_ = 0;
  wl_display_dispatch_queue_pending(held.display_, held.queue_);
  return G_SOURCE_REMOVE;
}

}  // namespace wayland
}  // namespace platform
