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

// GDK looks for OpenGL as it opens a display, to choose its visuals for
// it. Nothing here draws with OpenGL, and the look loads the GL driver: on
// a desktop with a software one, its compiler alone stays resident at about
// 40 MiB. GDK reads the choice from its environment, which programs opened
// from the menu must not inherit: it is set only for the opening, and a
// user's own choice stands.
bool initWithoutOpenGL(int& argc, char**& argv) {
  bool choosing = g_getenv("GDK_GL") == nullptr;
  if (choosing) {
    g_setenv("GDK_GL", "disable", TRUE);
  }
  bool opened = gtk_init_check(&argc, &argv);
  if (choosing) {
    g_unsetenv("GDK_GL");
  }
  return opened;
}

bool openX11(int& argc, char**& argv, std::string& why) {
  gdk_set_allowed_backends("x11");
  if (!initWithoutOpenGL(argc, argv)) {
    why = std::string("cannot open the X11 display \"") + g_getenv("DISPLAY") + "\"";
    return false;
  }
  XSetIOErrorHandler(onDisplayLost);
  installed = new X11Host;
  return true;
}

bool openWayland(int& argc, char**& argv, std::string& why) {
  gdk_set_allowed_backends("wayland");
  if (!initWithoutOpenGL(argc, argv) || !gtk_layer_is_supported()) {
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
