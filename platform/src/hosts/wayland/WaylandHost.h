// The host on a Wayland compositor with the layer shell (sway and the other
// wlroots desktops, KDE Plasma): pictures as layer surfaces, the tray icon
// as a StatusNotifierItem whose menus open over a transparent overlay,
// window names as locks in the session's runtime folder. Wayland gives a
// program no global pointer, no grabs and no warps: the cursor is where it
// was last seen on one of the program's surfaces.
#pragma once

#include "hosts/gtk/GtkHost.h"
#include "hosts/wayland/LayerPictures.h"
#include "hosts/wayland/LockFileNames.h"
#include "hosts/wayland/MenuOverlay.h"
#include "hosts/wayland/TrayItems.h"

namespace platform {
namespace wayland {

class WaylandHost : public gtk::GtkHost {
 public:
  WaylandHost();
  ~WaylandHost() override;

  void popupMenuClosed(UINT command) override;
  void trayIconsChanged(const std::vector<TrayIconView>& icons) override;
  void windowChanged(const WindowView& view, WindowChange change) override;
  void windowCreated(HWND window, const std::string& className, const std::string& title) override;
  bool otherProgramHasWindow(const std::string& className, const std::string& title) override;
  // The compositor keeps the pointer for the surface a button went down
  // in until it comes up; a program can take it no other way.
  void captureChanged(HWND) override {}
  void moveCursor(POINT point) override { pointer_ = point; }
  SIZE screenSize() override;

 protected:
  void popUpMenu(const PopupMenuView& menu) override;

 private:
  LayerPictures pictures_;
  MenuOverlay overlay_;
  TrayItems tray_;
  LockFileNames names_;
  bool menuShown_ = false;
};

}  // namespace wayland
}  // namespace platform
