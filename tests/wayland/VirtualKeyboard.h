// The user's keyboard on a wlroots compositor with no input devices: a
// virtual keyboard of the seat (zwp_virtual_keyboard_v1) with the default
// keymap, kept for the test's whole run. wtype's keyboard, made and gone
// for each key, was seen to reach GTK with the compositor's keymap instead
// of its own, so a Return arrived as Escape.
#pragma once

#include <wayland-client.h>

#include "SeatConnection.h"

struct zwp_virtual_keyboard_manager_v1;
struct zwp_virtual_keyboard_v1;

namespace waylandtest {

class VirtualKeyboard {
 public:
  VirtualKeyboard();  // connects to $WAYLAND_DISPLAY; throws when it cannot
  ~VirtualKeyboard();
  VirtualKeyboard(const VirtualKeyboard&) = delete;
  VirtualKeyboard& operator=(const VirtualKeyboard&) = delete;

  // Presses and releases the key of that keysym name ("Return", "Down",
  // "Up", "Escape", "Tab", "space"); false for another.
  bool key(const char* keysym);

 private:
  void sendKeymap();

  SeatConnection connection_;
  zwp_virtual_keyboard_manager_v1* manager_;
  zwp_virtual_keyboard_v1* keyboard_;
  uint32_t time_ = 0;
};

}  // namespace waylandtest
