#include "hosts/gtk/FreedMemory.h"

#include <malloc.h>

namespace platform {
namespace gtk {

FreedMemory::~FreedMemory() {
  if (idle_) {
    g_source_remove(idle_);
  }
}

// Once, after the whole burst: at the lowest priority the loop runs it
// only when no input, paint or other work is waiting.
void FreedMemory::windowChanged(WindowChange change) {
  if (change != WindowChange::layeredContent && change != WindowChange::destroyed) {
    return;
  }
  if (!idle_) {
    idle_ = g_idle_add_full(G_PRIORITY_LOW, onIdle, this, nullptr);
  }
}

gboolean FreedMemory::onIdle(gpointer self) {
  static_cast<FreedMemory*>(self)->idle_ = 0;
  malloc_trim(0);
  return G_SOURCE_REMOVE;
}

}  // namespace gtk
}  // namespace platform
