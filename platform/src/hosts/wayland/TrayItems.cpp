#include "hosts/wayland/TrayItems.h"

#include <cstdio>
#include <set>

namespace platform {
namespace wayland {

// A panel that starts later still finds the items: each watches for the
// watcher. Without one now, the user is told once why no icon shows.
void TrayItems::show(const std::vector<TrayIconView>& icons) {
  std::set<Key> wanted;
  for (const TrayIconView& icon : icons) {
    Key key{icon.window, icon.id};
    wanted.insert(key);
    std::unique_ptr<gtk::StatusNotifierItem>& item = items_[key];
    if (!item) {
      item.reset(new gtk::StatusNotifierItem(input_, menus_, locate_, forgetTrigger_, ++itemsMade_));
    }
    item->show(icon);
  }
  for (auto entry = items_.begin(); entry != items_.end();) {
    entry = wanted.count(entry->first) ? std::next(entry) : items_.erase(entry);
  }
  if (!items_.empty() && !saidNoWatcher_ && !gtk::StatusNotifierItem::watcherPresent()) {
    saidNoWatcher_ = true;
    std::fprintf(stderr, "%s: no tray: no panel shows StatusNotifierItems (%s is not on the session bus)\n",
                 g_get_prgname(), gtk::StatusNotifierItem::watcherName());
  }
}

}  // namespace wayland
}  // namespace platform
