// The user's keyboard on a wlroots compositor with no input devices: a
// virtual keyboard of the seat (zwp_virtual_keyboard_v1) with the default
// keymap, kept for the test's whole run. wtype's keyboard, made and gone
// for each key, was seen to reach GTK with the compositor's keymap instead
// of its own, so a Return arrived as Escape.
#pragma once

#include <wayland-client.h>

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
  static void announced(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version);
  static void withdrawn(void*, wl_registry*, uint32_t) {}
  void sendKeymap();

  wl_display* display_;
  wl_registry* registry_ = nullptr;
  wl_seat* seat_ = nullptr;
  zwp_virtual_keyboard_manager_v1* manager_ = nullptr;
  zwp_virtual_keyboard_v1* keyboard_ = nullptr;
  uint32_t time_ = 0;
};

}  // namespace waylandtest
