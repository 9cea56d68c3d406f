#include "VirtualPointer.h"

#include <linux/input-event-codes.h>

#include <algorithm>
#include <cstdlib>

#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

namespace waylandtest {

VirtualPointer::VirtualPointer()
    : connection_(zwlr_virtual_pointer_manager_v1_interface),
      manager_(connection_.manager<zwlr_virtual_pointer_manager_v1>()),
      pointer_(zwlr_virtual_pointer_manager_v1_create_virtual_pointer(manager_, connection_.seat())) {
  wl_display_roundtrip(connection_.display());
}

VirtualPointer::~VirtualPointer() {
  zwlr_virtual_pointer_v1_destroy(pointer_);
  zwlr_virtual_pointer_manager_v1_destroy(manager_);
}

void VirtualPointer::moveTo(int x, int y) {
  if (x_ < 0) {
    jumpTo(x, y);
    return;
  }
  int steps = std::max(1, (std::max(std::abs(x - x_), std::abs(y - y_)) + 19) / 20);
  int fromX = x_, fromY = y_;
  for (int step = 1; step <= steps; ++step) {
    jumpTo(fromX + (x - fromX) * step / steps, fromY + (y - fromY) * step / steps);
  }
}

void VirtualPointer::jumpTo(int x, int y) {
  x_ = x;
  y_ = y;
  zwlr_virtual_pointer_v1_motion_absolute(pointer_, time_ += 10, static_cast<uint32_t>(x - layout_.x),
                                          static_cast<uint32_t>(y - layout_.y),
                                          static_cast<uint32_t>(layout_.width),
                                          static_cast<uint32_t>(layout_.height));
  send();
}

void VirtualPointer::setButton(int button, bool down) {
  uint32_t code = button == 3 ? BTN_RIGHT : button == 2 ? BTN_MIDDLE : BTN_LEFT;
  zwlr_virtual_pointer_v1_button(pointer_, time_ += 10, code,
                                 down ? WL_POINTER_BUTTON_STATE_PRESSED : WL_POINTER_BUTTON_STATE_RELEASED);
  send();
}

void VirtualPointer::send() {
  zwlr_virtual_pointer_v1_frame(pointer_);
  wl_display_roundtrip(connection_.display());
}

}  // namespace waylandtest
