// A tray icon as a StatusNotifierItem on the session bus, for panels that
// show their items over D-Bus instead of embedding XEmbed icons. The panel
// asks the item to act at a screen point (Activate, ContextMenu...); each
// request becomes a click of that button there, and the program opens its
// own menus, so the item exports none.
#pragma once

#include "hosts/gtk/InputQueue.h"

#include <gio/gio.h>
#include <gtk/gtk.h>

#include <functional>
#include <string>

namespace platform {
namespace gtk {

class StatusNotifierItem {
 public:
  // Whether a watcher, which passes items on to the panels, is on the
  // session bus.
  static bool watcherPresent();
  static const char* watcherName();

  // A connection of the caller's own to the session bus, null without one;
  // closed with closeSessionBus. The program does not end when it closes.
  static GDBusConnection* openSessionBus();
  static void closeSessionBus(GDBusConnection* bus);

  // `number` tells the process's items apart on the bus. `forgetTrigger`
  // is called before a request's click: no button event of ours led to it.
  StatusNotifierItem(InputQueue& input, std::function<void()> forgetTrigger, int number);
  ~StatusNotifierItem();
  StatusNotifierItem(const StatusNotifierItem&) = delete;
  StatusNotifierItem& operator=(const StatusNotifierItem&) = delete;

  // The icon's picture and tip, now or changed.
  void show(const TrayIconView& view);

 private:
  static void onMethodCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* method,
                           GVariant* parameters, GDBusMethodInvocation* invocation, gpointer self);
  static GVariant* onGetProperty(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* property,
                                 GError** error, gpointer self);
  static void onNameAcquired(GDBusConnection*, const gchar*, gpointer self);
  static void onWatcherAppeared(GDBusConnection* bus, const gchar*, const gchar*, gpointer self);
  void click(UINT down, UINT up, gint x, gint y);
  void emit(const char* signal);
  GVariant* property(const char* name) const;

  InputQueue& input_;
  std::function<void()> forgetTrigger_;
  std::string busName_;
  TrayIconView view_{};
  GDBusConnection* bus_ = nullptr;
  guint objectId_ = 0;
  guint ownerId_ = 0;
  guint watcherWatchId_ = 0;
};

}  // namespace gtk
}  // namespace platform
