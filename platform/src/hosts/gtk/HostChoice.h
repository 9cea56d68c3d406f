// Which display the Linux program shows on, chosen before GTK opens one:
// a Wayland compositor with the layer shell gets the Wayland host; any
// other session the X11 host (GNOME's Wayland session through XWayland);
// TESSALINE_BACKEND=x11|wayland forces one.
#pragma once

#include <string>

namespace platform {
namespace gtk {

enum class HostKind { x11, wayland, none };

struct HostChoice {
  HostKind kind;
  std::string why;  // for none: what the user is told
};

// `forced` is TESSALINE_BACKEND's value ("" when unset); `layerShell` is
// only asked for when a Wayland display is named.
HostChoice chooseHost(const std::string& forced, const std::string& waylandDisplay, const std::string& x11Display,
                      bool (*layerShell)());

// The choice for this process's environment.
HostChoice chooseHostHere();

const char* hostKindName(HostKind kind);

}  // namespace gtk
}  // namespace platform
