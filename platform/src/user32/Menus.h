// Popup menus: the records behind HMENU and the lookups the menu calls share.
#pragma once

#include "core/Desktop.h"

namespace platform {

struct MenuItem {
  UINT flags;  // MF_SEPARATOR, MF_POPUP, MF_CHECKED...
  UINT id;     // 0 for separators and submenus
  HMENU submenu;
  std::string text;
};

struct Menu : HandleObject {
  static const HandleKind kKind = HandleKind::menu;
  std::vector<MenuItem> items;
};

Menu* findMenu(HMENU menu);

// The item named by command id (looked for in submenus too, depth first) or
// by position (MF_BYPOSITION), or null.
MenuItem* findMenuItem(HMENU menu, UINT item, UINT flags);

// The items as a host or test sees them.
std::vector<MenuItemView> menuItemViews(HMENU menu);

}  // namespace platform
