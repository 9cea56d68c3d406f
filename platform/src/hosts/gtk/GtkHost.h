// The host on a real X11 display, through GTK 3: pictures as native
// windows, the tray icon in the panel, native menus and message boxes, the
// desktop's own handlers for the shell's "open", and the user's mouse.
//
// GLib's main loop runs only while the program waits for input; what GTK's
// handlers collect is delivered afterwards, outside GTK's dispatch, so the
// program never runs inside a GTK callback. The program's modal loops are
// the only loops.
#pragma once

#include "hosts/gtk/InputQueue.h"
#include "hosts/gtk/MessageBoxes.h"
#include "hosts/gtk/PictureWindows.h"
#include "hosts/gtk/PopupMenu.h"
#include "hosts/gtk/TrayIcons.h"
#include "hosts/gtk/WindowNames.h"

#include <platform/gtk.h>

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
  void trayIconsChanged(const std::vector<TrayIconView>& icons) override;
  DWORD openWithShell(const ShellRequest& request) override;
  void windowChanged(const WindowView& view, WindowChange change) override;
  void windowCreated(HWND window, const std::string& className, const std::string& title) override;
  bool otherProgramHasWindow(const std::string& className, const std::string& title) override;
  void captureChanged(HWND window) override;
  POINT cursorPosition() override { return pointer_; }
  void moveCursor(POINT point) override;
  SIZE screenSize() override;
  void debugOutput(const std::string& text) override;
  void consoleOutput(const std::string& text, bool standardError) override;

 private:
  struct Signal {
    GtkHost* host;
    std::function<void()> action;
  };
  static gboolean onUnixSignal(gpointer signal);
  void rememberTrigger(const GdkEvent* event);
  void deliver(QueuedInput item, InputSink& sink);

  InputQueue input_;
  PictureWindows pictures_;
  TrayIcons tray_;
  PopupMenu menu_;
  MessageBoxes boxes_;
  WindowNames names_;
  POINT pointer_ = {0, 0};
  GdkEvent* trigger_ = nullptr;
  bool grabbing_ = false;
  HWND captured_ = NULL;
  std::vector<std::unique_ptr<Signal>> signals_;
  std::vector<guint> signalSources_;
};

}  // namespace gtk
}  // namespace platform
