// The tracked popup menu as a native GTK menu: built from the desktop's view
// of it, popped up at the point, and its choice or dismissal queued as input
// for the program's own modal loop.
#pragma once

#include "hosts/gtk/InputQueue.h"

#include <gtk/gtk.h>

namespace platform {
namespace gtk {

class PopupMenu {
 public:
  explicit PopupMenu(InputQueue& input) : input_(input) {}
  ~PopupMenu();
  PopupMenu(const PopupMenu&) = delete;
  PopupMenu& operator=(const PopupMenu&) = delete;

  // `trigger` is the button event that led to the menu (GTK grabs the
  // pointer for it); null when there was none. The menu opens at `at`, in
  // `parent`'s own coordinates.
  void open(const PopupMenuView& view, const GdkEvent* trigger, GdkWindow* parent, GdkRectangle at);
  void close();

 private:
  static void onActivate(GtkMenuItem* item, gpointer self);
  static void onSelectionDone(GtkMenuShell* menu, gpointer self);
  static gboolean retry(gpointer self);
  bool popUp(const GdkEvent* trigger);
  void stopRetrying();

  InputQueue& input_;
  GtkWidget* menu_ = nullptr;
  GdkWindow* parent_ = nullptr;  // a reference of ours while the menu is open
  GdkRectangle at_ = {0, 0, 1, 1};
  UINT chosen_ = 0;
  bool ended_ = false;
  // While another client holds the pointer (a panel that has not yet let
  // go of the click that asked for the menu), the menu is tried again.
  guint retryTimer_ = 0;
  int retriesLeft_ = 0;
};

}  // namespace gtk
}  // namespace platform
