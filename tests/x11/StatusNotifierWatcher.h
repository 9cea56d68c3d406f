// A StatusNotifierWatcher of the test's own on the session bus, standing in
// for a panel that shows items over D-Bus: it records the items that
// register and calls them as a panel does on a click.
#pragma once

#include <gio/gio.h>

#include <string>

namespace x11test {

class StatusNotifierWatcher {
 public:
  StatusNotifierWatcher();  // throws when there is no session bus
  ~StatusNotifierWatcher();
  StatusNotifierWatcher(const StatusNotifierWatcher&) = delete;
  StatusNotifierWatcher& operator=(const StatusNotifierWatcher&) = delete;

  // Whether the watcher's name is ours yet.
  bool named();
  // The last item registered, as its service name; empty before any.
  std::string registered();
  bool onBus(const std::string& service);
  // A click's request to the item: "ContextMenu" at x, y...; its error, or
  // an empty text.
  std::string call(const std::string& service, const char* method, int x, int y);
  // The type of the item's property as a panel reads it on its own
  // ("s"...), or the error.
  std::string propertyType(const std::string& service, const char* property);

 private:
  static void onMethodCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
                           GVariant* parameters, GDBusMethodInvocation* invocation, gpointer self);
  static void onNameAcquired(GDBusConnection*, const gchar*, gpointer self);
  void dispatch();

  GDBusConnection* bus_ = nullptr;
  GDBusNodeInfo* node_ = nullptr;
  guint objectId_ = 0;
  guint ownerId_ = 0;
  bool named_ = false;
  std::string registered_;
};

}  // namespace x11test
