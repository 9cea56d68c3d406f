// What a host on a real display through GTK 3 does the same on X11 and on
// Wayland: the program's wait for input, native menus and message boxes,
// the desktop's own handlers for the shell's "open", the ending signals,
// and the tray icon's menu offered for the panel to draw. Each display's
// host adds how pictures, the tray and window names are shown there.
//
// GLib's main loop runs only while the program waits for input; what GTK's
// handlers collect is delivered afterwards, outside GTK's dispatch, so the
// program never runs inside a GTK callback. The program's modal loops are
// the only loops.
#pragma once

#include "hosts/gtk/FreedMemory.h"
#include "hosts/gtk/InputQueue.h"
#include "hosts/gtk/MessageBoxes.h"
#include "hosts/gtk/PopupMenu.h"
#include "hosts/gtk/TrayMenuRequests.h"

#include <platform/gtk.h>

#include <memory>

namespace platform {
namespace gtk {

class GtkHost : public Host {
 public:
  GtkHost();
  ~GtkHost() override;

  void onSignal(int signalNumber, std::function<void()> action);
  void answerMessageBoxesFromNowOn() { boxes_.answerAllFromNowOn(); }

  bool waitForInput(WaitPlace place, InputSink& sink) override;
  void messageBoxOpened(const MessageBoxView& box) override;
  void messageBoxClosed(int button) override;
  void popupMenuOpened(const PopupMenuView& menu) override;
  void popupMenuClosed(UINT command) override;
  DWORD openWithShell(const ShellRequest& request) override;
  POINT cursorPosition() override { return pointer_; }
  void debugOutput(const std::string& text) override;
  void consoleOutput(const std::string& text, bool standardError) override;

 protected:
  // Where the display shows a menu the program opens at a screen point.
  virtual void popUpMenu(const PopupMenuView& menu) = 0;
  // Null when what comes next has no button event behind it.
  void rememberTrigger(const GdkEvent* event);

  InputQueue input_;
  PopupMenu menu_;
  MessageBoxes boxes_;
  TrayMenuRequests trayMenus_;
  FreedMemory freedMemory_;
  POINT pointer_ = {0, 0};
  GdkEvent* trigger_ = nullptr;

 private:
  struct Signal {
    GtkHost* host;
    std::function<void()> action;
  };
  static gboolean onUnixSignal(gpointer signal);
  void deliver(QueuedInput item, InputSink& sink);

  std::vector<std::unique_ptr<Signal>> signals_;
  std::vector<guint> signalSources_;
};

// The host installed by installHost, or null.
GtkHost* installedHost();

}  // namespace gtk
}  // namespace platform
