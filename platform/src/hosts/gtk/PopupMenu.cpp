#include "hosts/gtk/PopupMenu.h"

#include "hosts/gtk/Mnemonics.h"

namespace platform {
namespace gtk {

namespace {

const char kCommandKey[] = "win32-command";

GtkWidget* buildMenu(const std::vector<MenuItemView>& items, GCallback activate, gpointer data) {
  GtkWidget* menu = gtk_menu_new();
  for (const MenuItemView& item : items) {
    GtkWidget* widget = nullptr;
    if (item.separator) {
      widget = gtk_separator_menu_item_new();
    } else if (item.checked) {
      widget = gtk_check_menu_item_new_with_mnemonic(mnemonicLabel(item.text).c_str());
      gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(widget), TRUE);
    } else {
      widget = gtk_menu_item_new_with_mnemonic(mnemonicLabel(item.text).c_str());
    }
    if (item.popup) {
      gtk_menu_item_set_submenu(GTK_MENU_ITEM(widget), buildMenu(item.submenu, activate, data));
    } else if (!item.separator) {
      g_object_set_data(G_OBJECT(widget), kCommandKey, GUINT_TO_POINTER(item.id));
      g_signal_connect(widget, "activate", activate, data);
    }
    gtk_widget_set_sensitive(widget, !item.disabled);
    gtk_menu_shell_append(GTK_MENU_SHELL(menu), widget);
  }
  gtk_widget_show_all(menu);
  return menu;
}

// A button press at the point, at the display's current time, with no
// button held: what a menu opened by something other than a click (a
// panel's request over D-Bus) grabs the pointer with. GTK would take the
// same pointer and time without it, but warns on every such menu.
GdkEvent* pressAt(GdkWindow* window, GdkRectangle point) {
  GdkDisplay* display = gdk_display_get_default();
  GdkEvent* event = gdk_event_new(GDK_BUTTON_PRESS);
  event->button.window = GDK_WINDOW(g_object_ref(window));
  event->button.send_event = TRUE;
  event->button.time = GDK_CURRENT_TIME;
  event->button.x = event->button.x_root = point.x;
  event->button.y = event->button.y_root = point.y;
  event->button.button = 0;
  gdk_event_set_device(event, gdk_seat_get_pointer(gdk_display_get_default_seat(display)));
  return event;
}

// Tried every 50 ms for a second before the menu is given up.
const guint kRetryMilliseconds = 50;
const int kRetries = 20;

}  // namespace

PopupMenu::~PopupMenu() { close(); }

// A menu that cannot grab the pointer is not shown; nobody could then end
// it, so when it still cannot after a while it is dismissed instead of
// leaving the program waiting.
void PopupMenu::open(const PopupMenuView& view, const GdkEvent* trigger, GdkWindow* parent, GdkRectangle at) {
  close();
  chosen_ = 0;
  ended_ = false;
  parent_ = GDK_WINDOW(g_object_ref(parent));
  at_ = at;
  menu_ = buildMenu(view.items, G_CALLBACK(onActivate), this);
  g_signal_connect(menu_, "selection-done", G_CALLBACK(onSelectionDone), this);
  if (!popUp(trigger)) {
    retriesLeft_ = kRetries;
    retryTimer_ = g_timeout_add(kRetryMilliseconds, retry, this);
  }
}

// A menu opened by something other than a click (a panel's request over
// D-Bus) grabs with a press made up for it.
bool PopupMenu::popUp(const GdkEvent* trigger) {
  GdkEvent* press = trigger ? nullptr : pressAt(parent_, at_);
  gtk_menu_popup_at_rect(GTK_MENU(menu_), parent_, &at_, GDK_GRAVITY_NORTH_WEST, GDK_GRAVITY_NORTH_WEST,
                         trigger ? trigger : press);
  if (press) {
    gdk_event_free(press);
  }
  return gtk_widget_get_mapped(menu_);
}

// The click's own event is old by now: a retry grabs at the current time.
gboolean PopupMenu::retry(gpointer self) {
  PopupMenu& menu = *static_cast<PopupMenu*>(self);
  if (menu.popUp(nullptr)) {
    menu.retryTimer_ = 0;
    return G_SOURCE_REMOVE;
  }
  if (--menu.retriesLeft_ > 0) {
    return G_SOURCE_CONTINUE;
  }
  menu.retryTimer_ = 0;
  menu.ended_ = true;
  menu.input_.push(input::DismissMenu{});
  return G_SOURCE_REMOVE;
}

void PopupMenu::stopRetrying() {
  if (retryTimer_) {
    g_source_remove(retryTimer_);
    retryTimer_ = 0;
  }
}

void PopupMenu::close() {
  stopRetrying();
  if (menu_) {
    GtkWidget* menu = menu_;
    menu_ = nullptr;
    g_signal_handlers_disconnect_by_data(menu, this);
    gtk_widget_destroy(menu);
  }
  if (parent_) {
    g_object_unref(parent_);
    parent_ = nullptr;
  }
}

void PopupMenu::onActivate(GtkMenuItem* item, gpointer self) {
  static_cast<PopupMenu*>(self)->chosen_ = GPOINTER_TO_UINT(g_object_get_data(G_OBJECT(item), kCommandKey));
}

// GTK ends a menu with selection-done after the chosen item's activate, and
// also when it is dismissed.
void PopupMenu::onSelectionDone(GtkMenuShell*, gpointer self) {
  PopupMenu& menu = *static_cast<PopupMenu*>(self);
  if (menu.ended_) {
    return;
  }
  menu.ended_ = true;
  if (menu.chosen_ != 0) {
    menu.input_.push(input::ChooseMenuItem{menu.chosen_, ""});
  } else {
    menu.input_.push(input::DismissMenu{});
  }
}

}  // namespace gtk
}  // namespace platform
