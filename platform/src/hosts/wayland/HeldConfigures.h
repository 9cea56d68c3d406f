// The compositor configures every layer surface of an output again
// whenever one of them changes: a hundred pictures get a hundred configures
// for each step of a drag. The layer shell library answers each by having
// GTK lay its window out again, a frame for every picture on every step,
// though nothing about them changed. The configures of the surfaces held
// here wait in a queue of their own instead, and are answered together at
// most ten times a second; the protocol lets a client answer only the last
// of several. Nothing is looked at while nothing comes.
#pragma once

#include <glib.h>
#include <wayland-client.h>

struct zwlr_layer_surface_v1;

namespace platform {
namespace wayland {

class HeldConfigures {
 public:
  HeldConfigures();
  ~HeldConfigures();
  HeldConfigures(const HeldConfigures&) = delete;
  HeldConfigures& operator=(const HeldConfigures&) = delete;

  // From the surface's first frame on: it has answered its first configure,
  // which GTK waits for before it shows anything.
  void hold(zwlr_layer_surface_v1* layer);

 private:
  struct WatchSource;

  bool waiting();
  void answerSoon();
  static gboolean answer(gpointer self);

  wl_display* display_ = nullptr;
  wl_event_queue* queue_ = nullptr;
  GSource* watch_ = nullptr;
  guint answerSource_ = 0;
};

}  // namespace wayland
}  // namespace platform
