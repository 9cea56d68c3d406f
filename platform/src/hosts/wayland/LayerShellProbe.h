// Whether the Wayland compositor WAYLAND_DISPLAY names offers the layer
// shell: asked on a connection of its own, before GTK opens the display,
// since GTK can open only one display kind a process.
#pragma once

namespace platform {
namespace wayland {

bool compositorHasLayerShell();

}  // namespace wayland
}  // namespace platform
