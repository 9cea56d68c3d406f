#include "VirtualKeyboard.h"

#include <linux/input-event-codes.h>
#include <sys/mman.h>
#include <unistd.h>
#include <xkbcommon/xkbcommon.h>

#include <cstring>
#include <stdexcept>

#include "virtual-keyboard-unstable-v1-client-protocol.h"

namespace waylandtest {

VirtualKeyboard::VirtualKeyboard()
    : connection_(zwp_virtual_keyboard_manager_v1_interface),
      manager_(connection_.manager<zwp_virtual_keyboard_manager_v1>()),
      keyboard_(zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(manager_, connection_.seat())) {
  sendKeymap();
  wl_display_roundtrip(connection_.display());
}

VirtualKeyboard::~VirtualKeyboard() {
  zwp_virtual_keyboard_v1_destroy(keyboard_);
  zwp_virtual_keyboard_manager_v1_destroy(manager_);
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
      wl_display_roundtrip(connection_.display());
      return true;
    }
  }
  return false;
}

}  // namespace waylandtest
