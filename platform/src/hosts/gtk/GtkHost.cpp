#include "hosts/gtk/GtkHost.h"

#include "hosts/gtk/ShellOpen.h"

#include <glib-unix.h>

#include <cstdio>

namespace platform {
namespace gtk {

GtkHost::GtkHost() : menu_(input_), boxes_(input_), trayMenus_(input_) {}

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
// ended) before the next one reaches it. A tray menu the panel draws is
// learnt again only while the program waits in its own loop, idle.
bool GtkHost::waitForInput(WaitPlace place, InputSink& sink) {
  if (place == WaitPlace::getMessage && input_.empty()) {
    trayMenus_.idle();
  }
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

void GtkHost::rememberTrigger(const GdkEvent* event) {
  if (trigger_) {
    gdk_event_free(trigger_);
  }
  trigger_ = event ? gdk_event_copy(event) : nullptr;
}

void GtkHost::messageBoxOpened(const MessageBoxView& box) { boxes_.open(box); }

void GtkHost::messageBoxClosed(int) { boxes_.closeInnermost(); }

// A menu a tray request opened to learn it, or to choose in it what the
// user chose in the panel's drawing of it, is answered and never shown.
void GtkHost::popupMenuOpened(const PopupMenuView& menu) {
  if (!trayMenus_.answer(menu)) {
    popUpMenu(menu);
  }
}

void GtkHost::popupMenuClosed(UINT) { menu_.close(); }

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

}  // namespace gtk
}  // namespace platform
