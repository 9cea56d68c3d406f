// The user's pointer on a wlroots compositor with no input devices: a
// virtual pointer of the seat (zwlr_virtual_pointer_v1), moved to absolute
// places of the output layout.
#pragma once

#include <wayland-client.h>

#include "SeatConnection.h"
#include "scenarios/HostDesktop.h"

struct zwlr_virtual_pointer_manager_v1;
struct zwlr_virtual_pointer_v1;

namespace waylandtest {

class VirtualPointer {
 public:
  VirtualPointer();  // connects to $WAYLAND_DISPLAY; throws when it cannot
  ~VirtualPointer();
  VirtualPointer(const VirtualPointer&) = delete;
  VirtualPointer& operator=(const VirtualPointer&) = delete;

  // The box of all outputs, which absolute moves span.
  void setLayout(const desktoptest::Rectangle& layout) { layout_ = layout; }
  // In steps of at most 20 pixels: GTK drops the first motion after a
  // press when the pointer jumps farther.
  void moveTo(int x, int y);
  void press(int button) { setButton(button, true); }
  void release(int button) { setButton(button, false); }

 private:
  void jumpTo(int x, int y);
  void setButton(int button, bool down);
  void send();

  SeatConnection connection_;
  zwlr_virtual_pointer_manager_v1* manager_;
  zwlr_virtual_pointer_v1* pointer_;
  desktoptest::Rectangle layout_{0, 0, 1280, 800};
  int x_ = -1;
  int y_ = -1;
  uint32_t time_ = 0;
};

}  // namespace waylandtest
