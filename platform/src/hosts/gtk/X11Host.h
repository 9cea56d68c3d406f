// The host on an X11 display: pictures as managed native windows, the tray
// icon embedded in the panel (or a StatusNotifierItem), window names as X
// selections, the user's mouse with its grabs and warps.
#pragma once

#include "hosts/gtk/GtkHost.h"
#include "hosts/gtk/PictureWindows.h"
#include "hosts/gtk/TrayIcons.h"
#include "hosts/gtk/WindowNames.h"

namespace platform {
namespace gtk {

class X11Host : public GtkHost {
 public:
  X11Host();

  void trayIconsChanged(const std::vector<TrayIconView>& icons) override;
  void windowChanged(const WindowView& view, WindowChange change) override;
  void windowCreated(HWND window, const std::string& className, const std::string& title) override;
  bool otherProgramHasWindow(const std::string& className, const std::string& title) override;
  void captureChanged(HWND window) override;
  void moveCursor(POINT point) override;
  SIZE screenSize() override;

 protected:
  void popUpMenu(const PopupMenuView& menu) override;

 private:
  PictureWindows pictures_;
  TrayIcons tray_;
  WindowNames names_;
  bool grabbing_ = false;
  HWND captured_ = NULL;
};

}  // namespace gtk
}  // namespace platform
