#include "hosts/wayland/LayerShellProbe.h"

#include <wayland-client.h>

#include <cstring>

namespace platform {
namespace wayland {

namespace {

void onGlobal(void* found, wl_registry*, uint32_t, const char* interface, uint32_t) {
  if (std::strcmp(interface, "zwlr_layer_shell_v1") == 0) {
    *static_cast<bool*>(found) = true;
  }
}

void onGlobalRemoved(void*, wl_registry*, uint32_t) {}

}  // namespace

bool compositorHasLayerShell() {
  wl_display* display = wl_display_connect(nullptr);
  if (!display) {
    return false;
  }
  bool found = false;
  static const wl_registry_listener listener = {onGlobal, onGlobalRemoved};
  wl_registry* registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &listener, &found);
  wl_display_roundtrip(display);
  wl_registry_destroy(registry);
  wl_display_disconnect(display);
  return found;
}

}  // namespace wayland
}  // namespace platform
