#include "hosts/gtk/HostChoice.h"

#include "hosts/wayland/LayerShellProbe.h"

#include <cstdlib>

namespace platform {
namespace gtk {

namespace {

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

}  // namespace

HostChoice chooseHost(const std::string& forced, const std::string& waylandDisplay, const std::string& x11Display,
                      bool (*layerShell)()) {
  if (forced == "wayland") {
    if (waylandDisplay.empty()) {
      return {HostKind::none, "TESSALINE_BACKEND=wayland, but no Wayland display (WAYLAND_DISPLAY is not set)"};
    }
    if (!layerShell()) {
      return {HostKind::none, "TESSALINE_BACKEND=wayland, but the Wayland compositor \"" + waylandDisplay +
                                  "\" cannot be reached or has no layer shell (wlr-layer-shell)"};
    }
    return {HostKind::wayland, ""};
  }
  if (forced == "x11") {
    if (x11Display.empty()) {
      return {HostKind::none, "TESSALINE_BACKEND=x11, but no X11 display (DISPLAY is not set)"};
    }
    return {HostKind::x11, ""};
  }
  if (!forced.empty()) {
    return {HostKind::none, "TESSALINE_BACKEND is \"" + forced + "\"; it can be x11 or wayland"};
  }
  if (!waylandDisplay.empty() && layerShell()) {
    return {HostKind::wayland, ""};
  }
  if (!x11Display.empty()) {
    return {HostKind::x11, ""};
  }
  if (!waylandDisplay.empty()) {
    return {HostKind::none, "the Wayland compositor \"" + waylandDisplay +
                                "\" cannot be reached or has no layer shell (wlr-layer-shell), and there is no X11 "
                                "display (XWayland) to use instead"};
  }
  return {HostKind::none, "no display (neither WAYLAND_DISPLAY nor DISPLAY is set)"};
}

HostChoice chooseHostHere() {
  return chooseHost(environment("TESSALINE_BACKEND"), environment("WAYLAND_DISPLAY"), environment("DISPLAY"),
                    wayland::compositorHasLayerShell);
}

const char* hostKindName(HostKind kind) {
  switch (kind) {
    case HostKind::x11:
      return "x11";
    case HostKind::wayland:
      return "wayland";
    case HostKind::none:
      break;
  }
  return "none";
}

}  // namespace gtk
}  // namespace platform
