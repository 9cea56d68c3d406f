// The input GTK's handlers collect, delivered later by the host's wait,
// outside GTK's dispatch: a handler only appends.
#pragma once

#include <platform/host.h>

#include <deque>
#include <functional>

namespace platform {
namespace gtk {

// An input event, or an action of the program's own (a signal's command)
// that runs where input is delivered.
using QueuedInput = std::variant<InputEvent, std::function<void()>>;

class InputQueue {
 public:
  void push(InputEvent event);
  void push(std::function<void()> action) { items_.emplace_back(std::move(action)); }
  bool empty() const { return items_.empty(); }
  QueuedInput pop() {
    QueuedInput item = std::move(items_.front());
    items_.pop_front();
    return item;
  }

 private:
  std::deque<QueuedInput> items_;
};

}  // namespace gtk
}  // namespace platform
