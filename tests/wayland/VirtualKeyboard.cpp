#include "VirtualKeyboard.h"

#include <linux/input-event-codes.h>
#include <sys/mman.h>
#include <unistd.h>
#include <xkbcommon/xkbcommon.h>

#include <cstring>
#include <stdexcept>

#include "virtual-keyboard-unstable-v1-client-protocol.h"

namespace waylandtest {

VirtualKeyboard::VirtualKeyboard() : display_(wl_display_connect(nullptr)) {
  if (!display_) {
    throw std::runtime_error("cannot connect to the Wayland display");
  }
  static const wl_registry_listener listener{announced, withdrawn};
  registry_ = wl_display_get_registry(display_);
  wl_registry_add_listener(registry_, &listener, this);
  wl_display_roundtrip(display_);
  if (!seat_ || !manager_) {
    wl_display_disconnect(display_);
    throw std::runtime_error("the compositor offers no seat or no zwp_virtual_keyboard_manager_v1");
  }
  keyboard_ = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(manager_, seat_);
  sendKeymap();
  wl_display_roundtrip(display_);
}

VirtualKeyboard::~VirtualKeyboard() {
  zwp_virtual_keyboard_v1_destroy(keyboard_);
  zwp_virtual_keyboard_manager_v1_destroy(manager_);
  wl_seat_destroy(seat_);
  wl_registry_destroy(registry_);
  wl_display_disconnect(display_);
}

void VirtualKeyboard::announced(void* data, wl_registry* registry, uint32_t name, const char* interface,
                                uint32_t) {
  auto* self = static_cast<VirtualKeyboard*>(data);
  if (std::strcmp(interface, wl_seat_interface.name) == 0 && !self->seat_) {
    self->seat_ = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
  } else if (std::strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0) {
    self->manager_ = static_cast<zwp_virtual_keyboard_manager_v1*>(
        wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
  }
}

// The default rules' keymap, whose codes are the kernel's plus 8.
void VirtualKeyboard::sendKeymap() {
  xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
  xkb_keymap* keymap = xkb_keymap_new_from_names(context, nullptr, XKB_KEYMAP_COMPILE_NO_FLAGS);
  char* text = xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1);
  std::size_t size = std::strlen(text) + 1;
  int file = memfd_create("keymap", MFD_CLOEXEC);
  if (write(file, text, size) != static_cast<ssize_t>(size)) {
    throw std::runtime_error("cannot write the keymap");
  }
  zwp_virtual_keyboard_v1_keymap(keyboard_, XKB_KEYMAP_FORMAT_TEXT_V1, file, static_cast<uint32_t>(size));
  close(file);
  free(text);
  xkb_keymap_unref(keymap);
  xkb_context_unref(context);
}

bool VirtualKeyboard::key(const char* keysym) {
  const struct {
    const char* name;
    uint32_t code;
  } keys[] = {{"Return", KEY_ENTER}, {"Down", KEY_DOWN}, {"Up", KEY_UP},
              {"Escape", KEY_ESC},   {"Tab", KEY_TAB},   {"space", KEY_SPACE}};
  for (const auto& key : keys) {
    if (std::strcmp(key.name, keysym) == 0) {
      zwp_virtual_keyboard_v1_key(keyboard_, time_ += 10, key.code, WL_KEYBOARD_KEY_STATE_PRESSED);
      zwp_virtual_keyboard_v1_key(keyboard_, time_ += 10, key.code, WL_KEYBOARD_KEY_STATE_RELEASED);
      wl_display_roundtrip(display_);
      return true;
    }
  }
  return false;
}

}  // namespace waylandtest
