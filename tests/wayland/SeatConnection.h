// A connection of its own to $WAYLAND_DISPLAY with the seat and one
// manager global bound: what each of the tests' virtual input devices
// starts from. The manager is the device's to destroy (some managers have
// a destroy request, others none); the seat, the registry and the
// connection go with this.
#pragma once

#include <wayland-client.h>

namespace waylandtest {

class SeatConnection {
 public:
  // Throws when there is no display, no seat or no such manager.
  explicit SeatConnection(const wl_interface& manager);
  ~SeatConnection();
  SeatConnection(const SeatConnection&) = delete;
  SeatConnection& operator=(const SeatConnection&) = delete;

  wl_display* display() const { return display_; }
  wl_seat* seat() const { return seat_; }
  template <typename Manager>
  Manager* manager() const {
    return static_cast<Manager*>(manager_);
  }

 private:
  static void announced(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version);
  static void withdrawn(void*, wl_registry*, uint32_t) {}

  const wl_interface& managerInterface_;
  wl_display* display_;
  wl_registry* registry_ = nullptr;
  wl_seat* seat_ = nullptr;
  void* manager_ = nullptr;
};

}  // namespace waylandtest
