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
  // pointer for it); null when there was none.
  void open(const PopupMenuView& view, const GdkEvent* trigger);
  void close();

 private:
  static void onActivate(GtkMenuItem* item, gpointer self);
  static void onSelectionDone(GtkMenuShell* menu, gpointer self);
  bool popUp(const PopupMenuView& view, const GdkEvent* trigger);

  InputQueue& input_;
  GtkWidget* menu_ = nullptr;
  UINT chosen_ = 0;
  bool ended_ = false;
};

}  // namespace gtk
}  // namespace platform
