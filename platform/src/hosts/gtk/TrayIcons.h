// The desktop's tray icons in the panel's notification area: an XEmbed
// status icon each. A click delivers the pointer's position first, then the
// icon's mouse message, since the program opens its menus where the
// pointer is when the button goes down.
#pragma once

#include "hosts/gtk/InputQueue.h"

#include <gtk/gtk.h>

#include <functional>
#include <memory>
#include <vector>

namespace platform {
namespace gtk {

class TrayIcons {
 public:
  // `rememberTrigger` keeps the button event that a menu opened by it will
  // pop up with.
  TrayIcons(InputQueue& input, std::function<void(const GdkEvent*)> rememberTrigger)
      : input_(input), rememberTrigger_(std::move(rememberTrigger)) {}
  ~TrayIcons();
  TrayIcons(const TrayIcons&) = delete;
  TrayIcons& operator=(const TrayIcons&) = delete;

  void show(const std::vector<TrayIconView>& icons);

  // Whether some panel shows the icons; said once on standard error when
  // none does, a while after they were first shown.
  bool embedded() const;

 private:
  struct Icon {
    HWND window;
    UINT id;
    GtkStatusIcon* statusIcon;
  };
  static gboolean onButton(GtkStatusIcon* statusIcon, GdkEventButton* event, gpointer self);
  static gboolean checkEmbedded(gpointer self);
  void remove(Icon& icon);

  InputQueue& input_;
  std::function<void(const GdkEvent*)> rememberTrigger_;
  std::vector<Icon> icons_;
  guint embeddedCheck_ = 0;
};

}  // namespace gtk
}  // namespace platform
