// user32's TrackPopupMenu: the menu is shown by the host and runs the modal
// loop until the user chooses an item or dismisses it; a chosen command is
// posted to the owner window as WM_COMMAND once the menu has closed.
#include "user32/MenuTracking.h"

#include "user32/Menus.h"
#include "core/MessageQueue.h"

namespace {

// The menu is tracked, and shown by the host, until TrackPopupMenu
// returns, also when a window procedure run by its loop throws.
class TrackingScope {
 public:
  explicit TrackingScope(const platform::PopupMenuView& view) {
    platform::Desktop& desktop = platform::theDesktop();
    desktop.trackingMenu = view.menu;
    desktop.trackingChosen = 0;
    desktop.trackingEnded = false;
    desktop.host->popupMenuOpened(view);
  }
  ~TrackingScope() {
    platform::Desktop& desktop = platform::theDesktop();
    desktop.trackingMenu = NULL;
    desktop.host->popupMenuClosed(desktop.trackingChosen);
  }
  TrackingScope(const TrackingScope&) = delete;
  TrackingScope& operator=(const TrackingScope&) = delete;
};

// The chosen item, depth first: by text when one is given, else by id.
const platform::MenuItem* chosenItem(HMENU menu, const platform::input::ChooseMenuItem& choice) {
  platform::Menu* record = platform::findMenu(menu);
  if (!record) {
    return nullptr;
  }
  for (const platform::MenuItem& item : record->items) {
    if (item.flags & MF_POPUP) {
      if (const platform::MenuItem* found = chosenItem(item.submenu, choice)) {
        return found;
      }
      continue;
    }
    if (item.flags & MF_SEPARATOR) {
      continue;
    }
    if (choice.text.empty() ? item.id == choice.command : item.text == choice.text) {
      return &item;
    }
  }
  return nullptr;
}

}  // namespace

namespace platform {

bool isTrackingMenu() { return theDesktop().trackingMenu != NULL; }

std::string chooseMenuItem(const input::ChooseMenuItem& choice) {
  Desktop& desktop = theDesktop();
  if (!desktop.trackingMenu) {
    return "a menu item is chosen but no menu is open";
  }
  const MenuItem* item = chosenItem(desktop.trackingMenu, choice);
  if (!item) {
    return choice.text.empty() ? "the open menu has no item with command " + std::to_string(choice.command)
                               : "the open menu has no item \"" + choice.text + "\"";
  }
  if (item->flags & (MF_GRAYED | MF_DISABLED)) {
    return "the chosen menu item is disabled";
  }
  desktop.trackingChosen = item->id;
  desktop.trackingEnded = true;
  return "";
}

std::string dismissMenu() {
  Desktop& desktop = theDesktop();
  if (!desktop.trackingMenu) {
    return "a menu is dismissed but no menu is open";
  }
  desktop.trackingEnded = true;
  return "";
}

}  // namespace platform

// Without TPM_RETURNCMD the result is TRUE whether or not a command was
// chosen; with it, the command, or 0 for none.
extern "C" BOOL WINAPI TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, const RECT*) {
  platform::Desktop& desktop = platform::theDesktop();
  if (!platform::findMenu(menu)) {
    SetLastError(ERROR_INVALID_MENU_HANDLE);
    return FALSE;
  }
  if (!platform::findWindowRecord(owner)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (desktop.trackingMenu) {
    SetLastError(ERROR_POPUP_ALREADY_ACTIVE);
    return FALSE;
  }
  {
    TrackingScope scope(platform::PopupMenuView{menu, owner, POINT{x, y}, flags, platform::menuItemViews(menu)});
    platform::runModalLoop(platform::WaitPlace::popupMenu, [] { return platform::theDesktop().trackingEnded; });
  }
  UINT chosen = platform::theDesktop().trackingChosen;
  if (flags & TPM_RETURNCMD) {
    return static_cast<BOOL>(chosen);
  }
  if (chosen != 0) {
    PostMessageA(owner, WM_COMMAND, MAKEWPARAM(chosen, 0), 0);
  }
  return TRUE;
}
