#include "hosts/gtk/ExportedMenu.h"

#include "hosts/gtk/Mnemonics.h"

namespace platform {
namespace gtk {

namespace {

const char kCommandKey[] = "win32-command";

bool sameItems(const std::vector<MenuItemView>& left, const std::vector<MenuItemView>& right);

bool sameItem(const MenuItemView& left, const MenuItemView& right) {
  return left.id == right.id && left.text == right.text && left.separator == right.separator &&
         left.checked == right.checked && left.popup == right.popup && left.disabled == right.disabled &&
         sameItems(left.submenu, right.submenu);
}

bool sameItems(const std::vector<MenuItemView>& left, const std::vector<MenuItemView>& right) {
  if (left.size() != right.size()) {
    return false;
  }
  for (std::size_t index = 0; index < left.size(); ++index) {
    if (!sameItem(left[index], right[index])) {
      return false;
    }
  }
  return true;
}

}  // namespace

ExportedMenu::ExportedMenu(const char* objectPath, std::function<void(UINT)> chosen,
                           std::function<void()> aboutToShow)
    : chosen_(std::move(chosen)), aboutToShow_(std::move(aboutToShow)), server_(dbusmenu_server_new(objectPath)) {
  setRoot(dbusmenu_menuitem_new());
}

ExportedMenu::~ExportedMenu() {
  g_signal_handlers_disconnect_by_data(root_, this);
  g_object_unref(root_);
  g_object_unref(server_);
}

// The panel asks before it shows the menu, on the root.
void ExportedMenu::setRoot(DbusmenuMenuitem* root) {
  if (root_) {
    g_signal_handlers_disconnect_by_data(root_, this);
    g_object_unref(root_);
  }
  root_ = root;
  g_signal_connect(root_, DBUSMENU_MENUITEM_SIGNAL_ABOUT_TO_SHOW, G_CALLBACK(onAboutToShow), this);
  dbusmenu_server_set_root(server_, root_);
}

// The whole tree is made anew: menus are short, and a panel that shows the
// old one while it changes gets the new layout in one signal.
void ExportedMenu::show(const std::vector<MenuItemView>& items) {
  if (shown_ && sameItems(items, items_)) {
    return;
  }
  items_ = items;
  shown_ = true;
  DbusmenuMenuitem* root = dbusmenu_menuitem_new();
  fill(root, items);
  setRoot(root);
}

void ExportedMenu::fill(DbusmenuMenuitem* menu, const std::vector<MenuItemView>& items) {
  for (const MenuItemView& view : items) {
    DbusmenuMenuitem* item = dbusmenu_menuitem_new();
    if (view.separator) {
      dbusmenu_menuitem_property_set(item, DBUSMENU_MENUITEM_PROP_TYPE, "separator");
    } else {
      dbusmenu_menuitem_property_set(item, DBUSMENU_MENUITEM_PROP_LABEL, mnemonicLabel(view.text).c_str());
      dbusmenu_menuitem_property_set_bool(item, DBUSMENU_MENUITEM_PROP_ENABLED, !view.disabled);
    }
    if (view.checked) {
      dbusmenu_menuitem_property_set(item, DBUSMENU_MENUITEM_PROP_TOGGLE_TYPE, DBUSMENU_MENUITEM_TOGGLE_CHECK);
      dbusmenu_menuitem_property_set_int(item, DBUSMENU_MENUITEM_PROP_TOGGLE_STATE,
                                         DBUSMENU_MENUITEM_TOGGLE_STATE_CHECKED);
    }
    if (view.popup) {
      fill(item, view.submenu);
      dbusmenu_menuitem_property_set(item, DBUSMENU_MENUITEM_PROP_CHILD_DISPLAY,
                                     DBUSMENU_MENUITEM_CHILD_DISPLAY_SUBMENU);
    } else if (!view.separator) {
      g_object_set_data(G_OBJECT(item), kCommandKey, GUINT_TO_POINTER(view.id));
      g_signal_connect(item, DBUSMENU_MENUITEM_SIGNAL_ITEM_ACTIVATED, G_CALLBACK(onActivated), this);
    }
    dbusmenu_menuitem_child_append(menu, item);
    g_object_unref(item);
  }
}

void ExportedMenu::onActivated(DbusmenuMenuitem* item, guint, gpointer self) {
  UINT command = GPOINTER_TO_UINT(g_object_get_data(G_OBJECT(item), kCommandKey));
  static_cast<ExportedMenu*>(self)->chosen_(command);
}

// The panel's question is answered at once with the items known; learning
// them again updates the panel's drawing while it is shown.
gboolean ExportedMenu::onAboutToShow(DbusmenuMenuitem*, gpointer self) {
  static_cast<ExportedMenu*>(self)->aboutToShow_();
  return FALSE;
}

}  // namespace gtk
}  // namespace platform
