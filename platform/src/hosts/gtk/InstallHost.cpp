// Opens the chosen display and installs its host.
#include "hosts/gtk/HostChoice.h"
#include "hosts/gtk/X11Host.h"
#include "hosts/wayland/WaylandHost.h"

#include <gdk/gdkx.h>
#include <gtk-layer-shell/gtk-layer-shell.h>

#include <cstdio>
#include <unistd.h>

namespace platform {
namespace gtk {

namespace {

GtkHost* installed = nullptr;

// Nothing can be shown or cleaned up on a display that is gone, and the
// program's own teardown would only meet the same error again: one line
// and the end, at once.
int onDisplayLost(Display*) {
  std::fprintf(stderr, "%s: the X display went away; ending\n", g_get_prgname());
  _exit(1);
}

bool openX11(int& argc, char**& argv, std::string& why) {
  gdk_set_allowed_backends("x11");
  if (!gtk_init_check(&argc, &argv)) {
    why = std::string("cannot open the X11 display \"") + g_getenv("DISPLAY") + "\"";
    return false;
  }
  XSetIOErrorHandler(onDisplayLost);
  installed = new X11Host;
  return true;
}

bool openWayland(int& argc, char**& argv, std::string& why) {
  gdk_set_allowed_backends("wayland");
  if (!gtk_init_check(&argc, &argv) || !gtk_layer_is_supported()) {
    why = std::string("cannot open the Wayland display \"") + g_getenv("WAYLAND_DISPLAY") + "\" with its layer shell";
    return false;
  }
  installed = new wayland::WaylandHost;
  return true;
}

}  // namespace

GtkHost* installedHost() { return installed; }

bool installHost(int& argc, char**& argv, std::string& why) {
  HostChoice choice = chooseHostHere();
  bool opened = false;
  switch (choice.kind) {
    case HostKind::x11:
      opened = openX11(argc, argv, why);
      break;
    case HostKind::wayland:
      opened = openWayland(argc, argv, why);
      break;
    case HostKind::none:
      why = choice.why;
      break;
  }
  if (opened) {
    platform::installHost(std::unique_ptr<Host>(installed));
  }
  return opened;
}

std::string hostName() { return hostKindName(chooseHostHere().kind); }

void onSignal(int signalNumber, std::function<void()> action) {
  if (installed) {
    installed->onSignal(signalNumber, std::move(action));
  }
}

void answerMessageBoxesFromNowOn() {
  if (installed) {
    installed->answerMessageBoxesFromNowOn();
  }
}

}  // namespace gtk
}  // namespace platform
