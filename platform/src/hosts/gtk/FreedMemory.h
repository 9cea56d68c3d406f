// What the program freed making or taking away its pictures, handed back to
// the system once it has nothing else to do. Each picture's decoding frees
// a buffer four times its layer, and a Reload frees every layer at once;
// the allocator keeps such room inside its heap for later, where it stays,
// counted as the program's, for as long as the program runs.
#pragma once

#include <platform/host.h>

#include <glib.h>

namespace platform {
namespace gtk {

class FreedMemory {
 public:
  FreedMemory() = default;
  ~FreedMemory();
  FreedMemory(const FreedMemory&) = delete;
  FreedMemory& operator=(const FreedMemory&) = delete;

  // A layer replaced or a window destroyed: memory was freed.
  void windowChanged(WindowChange change);

 private:
  static gboolean onIdle(gpointer self);

  guint idle_ = 0;
};

}  // namespace gtk
}  // namespace platform
