// A menu offered on the session bus for a panel to draw, as
// com.canonical.dbusmenu (libdbusmenu-glib speaks the protocol). The panel
// says when it is about to show it and which item the user chose.
#pragma once

#include <platform/host.h>

#include <libdbusmenu-glib/server.h>

#include <functional>
#include <vector>

namespace platform {
namespace gtk {

class ExportedMenu {
 public:
  // On the process's shared session-bus connection, at `objectPath`.
  ExportedMenu(const char* objectPath, std::function<void(UINT)> chosen, std::function<void()> aboutToShow);
  ~ExportedMenu();
  ExportedMenu(const ExportedMenu&) = delete;
  ExportedMenu& operator=(const ExportedMenu&) = delete;

  // The items now; the panel is told only when they changed.
  void show(const std::vector<MenuItemView>& items);

 private:
  static void onActivated(DbusmenuMenuitem* item, guint timestamp, gpointer self);
  static gboolean onAboutToShow(DbusmenuMenuitem* item, gpointer self);
  void setRoot(DbusmenuMenuitem* root);
  void fill(DbusmenuMenuitem* menu, const std::vector<MenuItemView>& items);

  std::function<void(UINT)> chosen_;
  std::function<void()> aboutToShow_;
  DbusmenuServer* server_;
  DbusmenuMenuitem* root_ = nullptr;
  std::vector<MenuItemView> items_;
  bool shown_ = false;
};

}  // namespace gtk
}  // namespace platform
