#include "hosts/gtk/InputQueue.h"

namespace platform {
namespace gtk {

// Out of line: inlined into a caller that builds the event, GCC 12 loses
// track of which alternative the event holds and warns of its strings.
void InputQueue::push(InputEvent event) { items_.emplace_back(std::move(event)); }

}  // namespace gtk
}  // namespace platform
