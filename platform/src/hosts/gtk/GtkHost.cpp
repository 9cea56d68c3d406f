#include "hosts/gtk/GtkHost.h"

#include "hosts/gtk/ShellOpen.h"

#include <gdk/gdkx.h>
#include <glib-unix.h>

#include <cstdio>
#include <unistd.h>

namespace platform {
namespace gtk {

GtkHost::GtkHost()
    : pictures_(
          input_, [this](const GdkEvent* event) { rememberTrigger(event); }, [this] { captureChanged(captured_); }),
      tray_(input_, [this](const GdkEvent* event) { rememberTrigger(event); }),
      menu_(input_),
      boxes_(input_),
      names_(gdk_x11_display_get_xdisplay(gdk_display_get_default())) {}

GtkHost::~GtkHost() {
  for (guint source : signalSources_) {
    g_source_remove(source);
  }
  if (trigger_) {
    gdk_event_free(trigger_);
  }
}

void GtkHost::onSignal(int signalNumber, std::function<void()> action) {
  signals_.push_back(std::unique_ptr<Signal>(new Signal{this, std::move(action)}));
  signalSources_.push_back(g_unix_signal_add(signalNumber, onUnixSignal, signals_.back().get()));
}

gboolean GtkHost::onUnixSignal(gpointer data) {
  Signal& signal = *static_cast<Signal*>(data);
  signal.host->input_.push(signal.action);
  return G_SOURCE_CONTINUE;
}

// One item a call: the program looks at its state (a box closed, a menu
// ended) before the next one reaches it.
bool GtkHost::waitForInput(WaitPlace, InputSink& sink) {
  while (input_.empty()) {
    g_main_context_iteration(nullptr, TRUE);
  }
  deliver(input_.pop(), sink);
  return true;
}

// What the desktop refuses (a click meant for a menu that has just closed)
// is the user's input arriving late, not an error: it is dropped. But a
// choice the desktop refuses (the menu was destroyed while it was open, or
// the item is disabled) still ended the native menu, so the program's menu
// ends too: otherwise it would wait for a menu nobody sees.
void GtkHost::deliver(QueuedInput item, InputSink& sink) {
  if (std::function<void()>* action = std::get_if<std::function<void()>>(&item)) {
    (*action)();
    return;
  }
  const InputEvent& event = std::get<InputEvent>(item);
  if (const input::MoveCursor* move = std::get_if<input::MoveCursor>(&event)) {
    pointer_ = move->point;
  }
  if (!sink.deliver(event).empty() && std::holds_alternative<input::ChooseMenuItem>(event)) {
    sink.deliver(input::DismissMenu{});
  }
}

// Null when what comes next has no button event behind it.
void GtkHost::rememberTrigger(const GdkEvent* event) {
  if (trigger_) {
    gdk_event_free(trigger_);
  }
  trigger_ = event ? gdk_event_copy(event) : nullptr;
}

void GtkHost::messageBoxOpened(const MessageBoxView& box) { boxes_.open(box); }

void GtkHost::messageBoxClosed(int) { boxes_.closeInnermost(); }

void GtkHost::popupMenuOpened(const PopupMenuView& menu) { menu_.open(menu, trigger_); }

void GtkHost::popupMenuClosed(UINT) { menu_.close(); }

void GtkHost::trayIconsChanged(const std::vector<TrayIconView>& icons) { tray_.show(icons); }

// What opens comes up focused and with startup notification: the launch
// carries the time of the click that led to it.
DWORD GtkHost::openWithShell(const ShellRequest& request) {
  GdkAppLaunchContext* context = gdk_display_get_app_launch_context(gdk_display_get_default());
  gdk_app_launch_context_set_timestamp(context, trigger_ ? gdk_event_get_time(trigger_) : GDK_CURRENT_TIME);
  std::string why;
  DWORD error = platform::gtk::openWithShell(request, G_APP_LAUNCH_CONTEXT(context), why);
  g_object_unref(context);
  if (error != 0) {
    std::fprintf(stderr, "%s: cannot open \"%s\": %s\n", g_get_prgname(), request.file.c_str(), why.c_str());
  }
  return error;
}

void GtkHost::windowChanged(const WindowView& view, WindowChange change) {
  if (change == WindowChange::destroyed) {
    names_.withdraw(view.window);
  }
  pictures_.change(view, change);
}

void GtkHost::windowCreated(HWND window, const std::string& className, const std::string& title) {
  names_.publish(window, className, title);
}

bool GtkHost::otherProgramHasWindow(const std::string& className, const std::string& title) {
  return names_.othersHave(className, title);
}

// The capture is a pointer grab on the window's native window. X already
// keeps the pointer for a window a button went down in until it comes up;
// the grab does the same for a capture taken otherwise, and is taken again
// when the windows are made anew in the middle of a drag.
void GtkHost::captureChanged(HWND window) {
  captured_ = window;
  GdkSeat* seat = gdk_display_get_default_seat(gdk_display_get_default());
  if (grabbing_) {
    gdk_seat_ungrab(seat);
    grabbing_ = false;
  }
  GdkWindow* native = window ? pictures_.nativeWindow(window) : nullptr;
  if (native && gdk_window_is_visible(native)) {
    grabbing_ = gdk_seat_grab(seat, native, GDK_SEAT_CAPABILITY_ALL_POINTING, FALSE, nullptr, trigger_, nullptr,
                              nullptr) == GDK_GRAB_SUCCESS;
  }
}

void GtkHost::moveCursor(POINT point) {
  GdkDisplay* display = gdk_display_get_default();
  GdkDevice* pointer = gdk_seat_get_pointer(gdk_display_get_default_seat(display));
  gdk_device_warp(pointer, gdk_display_get_default_screen(display), point.x, point.y);
  pointer_ = point;
}

// The X screen spans every monitor, as Windows' virtual screen does.
SIZE GtkHost::screenSize() {
  GdkWindow* root = gdk_get_default_root_window();
  return SIZE{gdk_window_get_width(root), gdk_window_get_height(root)};
}

// Windows shows a debugger's lines only to a debugger. Here they go to
// standard error only when asked for: a session keeps standard error in its
// log, and they come with every paint and every step of a drag.
void GtkHost::debugOutput(const std::string& text) {
  static const bool wanted = g_getenv("TESSALINE_DEBUG") && *g_getenv("TESSALINE_DEBUG");
  if (wanted) {
    std::fputs(text.c_str(), stderr);
    std::fflush(stderr);
  }
}

void GtkHost::consoleOutput(const std::string& text, bool standardError) {
  FILE* stream = standardError ? stderr : stdout;
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fflush(stream);
}

namespace {

GtkHost* installed = nullptr;

// Nothing can be shown or cleaned up on a display that is gone, and the
// program's own teardown would only meet the same error again: one line
// and the end, at once.
int onDisplayLost(Display*) {
  std::fprintf(stderr, "%s: the X display went away; ending\n", g_get_prgname());
  _exit(1);
}

}  // namespace

// GDK's X11 backend only: Wayland lets no program place its own windows.
bool installHost(int& argc, char**& argv, std::string& why) {
  gdk_set_allowed_backends("x11");
  if (!gtk_init_check(&argc, &argv)) {
    const char* display = g_getenv("DISPLAY");
    why = display && *display ? std::string("cannot open the X11 display \"") + display + "\""
                              : "no X11 display (DISPLAY is not set)";
    return false;
  }
  XSetIOErrorHandler(onDisplayLost);
  installed = new GtkHost;
  platform::installHost(std::unique_ptr<Host>(installed));
  return true;
}

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
