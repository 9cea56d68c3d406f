#include "SeatConnection.h"

#include <cstring>
#include <stdexcept>
#include <string>

namespace waylandtest {

SeatConnection::SeatConnection(const wl_interface& manager)
    : managerInterface_(manager), display_(wl_display_connect(nullptr)) {
  if (!display_) {
    throw std::runtime_error("cannot connect to the Wayland display");
  }
  static const wl_registry_listener listener{announced, withdrawn};
  registry_ = wl_display_get_registry(display_);
  wl_registry_add_listener(registry_, &listener, this);
  wl_display_roundtrip(display_);
  if (!seat_ || !manager_) {
    if (seat_) {
      wl_seat_destroy(seat_);
    }
    if (manager_) {
      wl_proxy_destroy(static_cast<wl_proxy*>(manager_));
    }
    wl_registry_destroy(registry_);
    wl_display_disconnect(display_);
    throw std::runtime_error(std::string("the compositor offers no seat or no ") + manager.name);
  }
}

SeatConnection::~SeatConnection() {
  wl_seat_destroy(seat_);
  wl_registry_destroy(registry_);
  wl_display_disconnect(display_);
}

void SeatConnection::announced(void* data, wl_registry* registry, uint32_t name, const char* interface,
                               uint32_t) {
  auto* self = static_cast<SeatConnection*>(data);
  if (std::strcmp(interface, wl_seat_interface.name) == 0 && !self->seat_) {
    self->seat_ = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
  } else if (std::strcmp(interface, self->managerInterface_.name) == 0 && !self->manager_) {
    self->manager_ = wl_registry_bind(registry, name, &self->managerInterface_, 1);
  }
}

}  // namespace waylandtest
