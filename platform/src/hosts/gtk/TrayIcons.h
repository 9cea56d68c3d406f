// The desktop's tray icons in the panel's notification area: an XEmbed
// status icon each, or, when no panel embeds them and a watcher is on the
// session bus, a StatusNotifierItem each. Panels come late and restart:
// a watcher that appears at any time takes items, and an XEmbed tray that
// appears takes the status icons back (GTK's status icon docks again by
// itself into a tray that restarts). A click delivers the pointer's
// position first, then the icon's mouse message, since the program opens
// its menus where the pointer is when the button goes down.
#pragma once

#include "hosts/gtk/InputQueue.h"
#include "hosts/gtk/StatusNotifierItem.h"

#include <gtk/gtk.h>

#include <functional>
#include <memory>
#include <vector>

namespace platform {
namespace gtk {

class TrayIcons {
 public:
  // `rememberTrigger` keeps the button event that a menu opened by it will
  // pop up with; null when no button event led to the click.
  TrayIcons(InputQueue& input, TrayMenuRequests& menus, std::function<void(const GdkEvent*)> rememberTrigger)
      : input_(input), menus_(menus), rememberTrigger_(std::move(rememberTrigger)) {}
  ~TrayIcons();
  TrayIcons(const TrayIcons&) = delete;
  TrayIcons& operator=(const TrayIcons&) = delete;

  void show(const std::vector<TrayIconView>& icons);

 private:
  // An icon is shown one way at a time: the other one is null.
  struct Icon {
    TrayIconView view;
    GtkStatusIcon* statusIcon = nullptr;
    std::unique_ptr<StatusNotifierItem> item;
  };
  static gboolean showPending(gpointer self);
  void showNow(const std::vector<TrayIconView>& icons);
  static gboolean onButton(GtkStatusIcon* statusIcon, GdkEventButton* event, gpointer self);
  static gboolean checkEmbedded(gpointer self);
  static void onWatcherAppeared(GDBusConnection*, const gchar*, const gchar*, gpointer self);
  static GdkFilterReturn onRootEvent(GdkXEvent* event, GdkEvent*, gpointer self);
  Icon take(const TrayIconView& view);
  void showStatusIcon(Icon& icon);
  void showItem(Icon& icon);
  void switchToItems();
  void switchToStatusIcons();
  void watchForTrays();
  // Whether a panel embeds every status icon.
  bool embedded() const;
  void remove(Icon& icon);

  InputQueue& input_;
  TrayMenuRequests& menus_;
  std::function<void(const GdkEvent*)> rememberTrigger_;
  std::vector<Icon> icons_;
  std::vector<TrayIconView> pendingIcons_;
  guint pendingShow_ = 0;
  guint embeddedCheck_ = 0;
  GDBusConnection* bus_ = nullptr;  // for the watch: null until then, or without a bus
  guint watcherWatch_ = 0;
  bool watchingForTrays_ = false;
  bool asItems_ = false;
  int itemsMade_ = 0;
};

}  // namespace gtk
}  // namespace platform
