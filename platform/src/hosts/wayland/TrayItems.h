// The desktop's tray icons as StatusNotifierItems, the one kind of tray a
// Wayland panel shows (waybar, KDE Plasma...). A panel's request opens the
// program's menu where `locate` finds the pointer; the right button's menu
// is also offered for the panel to draw.
#pragma once

#include "hosts/gtk/InputQueue.h"
#include "hosts/gtk/StatusNotifierItem.h"
#include "hosts/gtk/TrayMenuRequests.h"

#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace platform {
namespace wayland {

class TrayItems {
 public:
  TrayItems(gtk::InputQueue& input, gtk::TrayMenuRequests& menus, gtk::StatusNotifierItem::Locate locate,
            std::function<void()> forgetTrigger)
      : input_(input), menus_(menus), locate_(std::move(locate)), forgetTrigger_(std::move(forgetTrigger)) {}

  void show(const std::vector<TrayIconView>& icons);

 private:
  using Key = std::pair<HWND, UINT>;

  gtk::InputQueue& input_;
  gtk::TrayMenuRequests& menus_;
  gtk::StatusNotifierItem::Locate locate_;
  std::function<void()> forgetTrigger_;
  std::map<Key, std::unique_ptr<gtk::StatusNotifierItem>> items_;
  int itemsMade_ = 0;
  bool saidNoWatcher_ = false;
};

}  // namespace wayland
}  // namespace platform
