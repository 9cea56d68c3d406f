#include "VirtualPointer.h"

#include <linux/input-event-codes.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

namespace waylandtest {

VirtualPointer::VirtualPointer() : display_(wl_display_connect(nullptr)) {
  if (!display_) {
    throw std::runtime_error("cannot connect to the Wayland display");
  }
  static const wl_registry_listener listener{announced, withdrawn};
  registry_ = wl_display_get_registry(display_);
  wl_registry_add_listener(registry_, &listener, this);
  wl_display_roundtrip(display_);
  if (!seat_ || !manager_) {
    wl_display_disconnect(display_);
    throw std::runtime_error("the compositor offers no seat or no zwlr_virtual_pointer_manager_v1");
  }
  pointer_ = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(manager_, seat_);
  wl_display_roundtrip(display_);
}

VirtualPointer::~VirtualPointer() {
  zwlr_virtual_pointer_v1_destroy(pointer_);
  zwlr_virtual_pointer_manager_v1_destroy(manager_);
  wl_seat_destroy(seat_);
  wl_registry_destroy(registry_);
  wl_display_disconnect(display_);
}

void VirtualPointer::announced(void* data, wl_registry* registry, uint32_t name, const char* interface,
                               uint32_t) {
  auto* self = static_cast<VirtualPointer*>(data);
  if (std::strcmp(interface, wl_seat_interface.name) == 0 && !self->seat_) {
    self->seat_ = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
  } else if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
    self->manager_ = static_cast<zwlr_virtual_pointer_manager_v1*>(
        wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
  }
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
  wl_display_roundtrip(display_);
}

}  // namespace waylandtest
