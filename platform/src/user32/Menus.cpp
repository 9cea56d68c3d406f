// user32's popup menus: CreatePopupMenu, AppendMenuA, GetMenuState,
// CheckMenuItem, DestroyMenu, GetMenuItemCount, GetMenuItemID,
// GetMenuStringA, GetSubMenu.
#include "user32/Menus.h"

#include "core/Text.h"

#include <algorithm>
#include <cstring>

namespace {

const UINT kNoItem = static_cast<UINT>(-1);

platform::Menu* menuOrError(HMENU menu) {
  platform::Menu* record = platform::findMenu(menu);
  if (!record) {
    SetLastError(ERROR_INVALID_MENU_HANDLE);
  }
  return record;
}

platform::MenuItem* itemByCommand(HMENU menu, UINT command) {
  platform::Menu* record = platform::findMenu(menu);
  if (!record) {
    return nullptr;
  }
  for (platform::MenuItem& item : record->items) {
    if (item.flags & MF_POPUP) {
      if (platform::MenuItem* found = itemByCommand(item.submenu, command)) {
        return found;
      }
    } else if (!(item.flags & MF_SEPARATOR) && item.id == command) {
      return &item;
    }
  }
  return nullptr;
}

// The submenus a menu holds, directly or not.
void collectSubmenus(HMENU menu, std::vector<HMENU>& submenus) {
  platform::Menu* record = platform::findMenu(menu);
  if (!record) {
    return;
  }
  for (const platform::MenuItem& item : record->items) {
    if ((item.flags & MF_POPUP) && std::find(submenus.begin(), submenus.end(), item.submenu) == submenus.end()) {
      submenus.push_back(item.submenu);
      collectSubmenus(item.submenu, submenus);
    }
  }
}

}  // namespace

namespace platform {

Menu* findMenu(HMENU menu) { return theDesktop().handles.find<Menu>(menu); }

MenuItem* findMenuItem(HMENU menu, UINT item, UINT flags) {
  if (flags & MF_BYPOSITION) {
    Menu* record = findMenu(menu);
    return record && item < record->items.size() ? &record->items[item] : nullptr;
  }
  return itemByCommand(menu, item);
}

std::vector<MenuItemView> menuItemViews(HMENU menu) {
  std::vector<MenuItemView> views;
  Menu* record = findMenu(menu);
  if (!record) {
    return views;
  }
  for (const MenuItem& item : record->items) {
    bool popup = (item.flags & MF_POPUP) != 0;
    views.push_back(MenuItemView{item.id, item.text, (item.flags & MF_SEPARATOR) != 0, (item.flags & MF_CHECKED) != 0,
                                 popup, popup ? menuItemViews(item.submenu) : std::vector<MenuItemView>(),
                                 (item.flags & (MF_GRAYED | MF_DISABLED)) != 0});
  }
  return views;
}

namespace desktop {

std::vector<MenuItemView> menuItems(HMENU menu) { return menuItemViews(menu); }

std::size_t menuCount() { return theDesktop().handles.count(HandleKind::menu); }

}  // namespace desktop

}  // namespace platform

extern "C" {

HMENU WINAPI CreatePopupMenu(void) {
  return static_cast<HMENU>(
      platform::theDesktop().handles.add(platform::HandleKind::menu, std::unique_ptr<platform::Menu>(new platform::Menu)));
}

// A submenu item carries the submenu's handle where a command item carries
// its id; a separator has neither text nor id.
BOOL WINAPI AppendMenuA(HMENU menu, UINT flags, UINT_PTR idOrSubmenu, LPCSTR text) {
  platform::Menu* record = menuOrError(menu);
  if (!record) {
    return FALSE;
  }
  platform::MenuItem item{flags, 0, NULL, ""};
  if (flags & MF_POPUP) {
    item.submenu = reinterpret_cast<HMENU>(idOrSubmenu);
    if (!platform::findMenu(item.submenu)) {
      SetLastError(ERROR_INVALID_MENU_HANDLE);
      return FALSE;
    }
  } else if (!(flags & MF_SEPARATOR)) {
    item.id = static_cast<UINT>(idOrSubmenu);
  }
  if (!(flags & MF_SEPARATOR) && text) {
    item.text = text;
  }
  record->items.push_back(item);
  return TRUE;
}

// The item's MF_ flags; a submenu's item count in the high byte; -1 for no
// such item.
UINT WINAPI GetMenuState(HMENU menu, UINT item, UINT flags) {
  platform::MenuItem* found = platform::findMenuItem(menu, item, flags);
  if (!found) {
    return kNoItem;
  }
  UINT state = found->flags & (MF_CHECKED | MF_GRAYED | MF_DISABLED | MF_SEPARATOR | MF_POPUP);
  if (found->flags & MF_POPUP) {
    platform::Menu* submenu = platform::findMenu(found->submenu);
    state |= static_cast<UINT>(submenu ? submenu->items.size() : 0) << 8;
  }
  return state;
}

// Gives the item's previous check state, or -1 for no such item.
DWORD WINAPI CheckMenuItem(HMENU menu, UINT item, UINT check) {
  platform::MenuItem* found = platform::findMenuItem(menu, item, check);
  if (!found) {
    return static_cast<DWORD>(-1);
  }
  DWORD previous = found->flags & MF_CHECKED;
  found->flags = (check & MF_CHECKED) ? (found->flags | MF_CHECKED) : (found->flags & ~static_cast<UINT>(MF_CHECKED));
  return previous;
}

// The submenus go with the menu that holds them.
BOOL WINAPI DestroyMenu(HMENU menu) {
  if (!menuOrError(menu)) {
    return FALSE;
  }
  std::vector<HMENU> doomed{menu};
  collectSubmenus(menu, doomed);
  for (HMENU each : doomed) {
    platform::theDesktop().handles.remove(each);
  }
  return TRUE;
}

int WINAPI GetMenuItemCount(HMENU menu) {
  platform::Menu* record = menuOrError(menu);
  return record ? static_cast<int>(record->items.size()) : -1;
}

UINT WINAPI GetMenuItemID(HMENU menu, int position) {
  platform::MenuItem* item = position < 0 ? nullptr : platform::findMenuItem(menu, static_cast<UINT>(position), MF_BYPOSITION);
  if (!item || (item->flags & MF_POPUP)) {
    return kNoItem;
  }
  return item->id;
}

int WINAPI GetMenuStringA(HMENU menu, UINT item, LPSTR text, int maxCount, UINT flags) {
  platform::MenuItem* found = platform::findMenuItem(menu, item, flags);
  if (!found) {
    return 0;
  }
  if (!text || maxCount <= 0) {
    return static_cast<int>(found->text.size());
  }
  return platform::copyTruncated(found->text, text, maxCount);
}

HMENU WINAPI GetSubMenu(HMENU menu, int position) {
  platform::MenuItem* item = position < 0 ? nullptr : platform::findMenuItem(menu, static_cast<UINT>(position), MF_BYPOSITION);
  return item && (item->flags & MF_POPUP) ? item->submenu : NULL;
}

}  // extern "C"
