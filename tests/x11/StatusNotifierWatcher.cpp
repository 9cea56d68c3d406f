#include "StatusNotifierWatcher.h"

#include <stdexcept>

namespace x11test {

namespace {

const char kWatcherXml[] = R"xml(<node>
  <interface name="org.kde.StatusNotifierWatcher">
    <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
  </interface>
</node>)xml";

}  // namespace

StatusNotifierWatcher::StatusNotifierWatcher() {
  bus_ = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
  if (!bus_) {
    throw std::runtime_error("no session bus");
  }
  static const GDBusInterfaceVTable vtable = {onMethodCall, nullptr, nullptr, {}};
  node_ = g_dbus_node_info_new_for_xml(kWatcherXml, nullptr);
  objectId_ = g_dbus_connection_register_object(bus_, "/StatusNotifierWatcher", node_->interfaces[0], &vtable, this,
                                                nullptr, nullptr);
  ownerId_ = g_bus_own_name_on_connection(bus_, "org.kde.StatusNotifierWatcher", G_BUS_NAME_OWNER_FLAGS_NONE,
                                          onNameAcquired, nullptr, this, nullptr);
}

StatusNotifierWatcher::~StatusNotifierWatcher() {
  g_bus_unown_name(ownerId_);
  g_dbus_connection_unregister_object(bus_, objectId_);
  g_dbus_node_info_unref(node_);
  g_object_unref(bus_);
}

// The bus's messages reach the watcher only while the test asks it things.
void StatusNotifierWatcher::dispatch() {
  while (g_main_context_iteration(nullptr, FALSE)) {
  }
}

bool StatusNotifierWatcher::named() {
  dispatch();
  return named_;
}

std::string StatusNotifierWatcher::registered() {
  dispatch();
  return registered_;
}

bool StatusNotifierWatcher::onBus(const std::string& service) {
  GVariant* reply = g_dbus_connection_call_sync(bus_, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                                "org.freedesktop.DBus", "NameHasOwner",
                                                g_variant_new("(s)", service.c_str()), G_VARIANT_TYPE("(b)"),
                                                G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr);
  gboolean owned = FALSE;
  if (reply) {
    g_variant_get(reply, "(b)", &owned);
    g_variant_unref(reply);
  }
  return owned;
}

std::string StatusNotifierWatcher::call(const std::string& service, const char* method, int x, int y) {
  GError* error = nullptr;
  GVariant* reply = g_dbus_connection_call_sync(bus_, service.c_str(), "/StatusNotifierItem",
                                                "org.kde.StatusNotifierItem", method, g_variant_new("(ii)", x, y),
                                                nullptr, G_DBUS_CALL_FLAGS_NONE, 5000, nullptr, &error);
  if (!reply) {
    std::string why = error->message;
    g_error_free(error);
    return why;
  }
  g_variant_unref(reply);
  return "";
}

std::string StatusNotifierWatcher::propertyType(const std::string& service, const char* property) {
  GError* error = nullptr;
  GVariant* reply = g_dbus_connection_call_sync(
      bus_, service.c_str(), "/StatusNotifierItem", "org.freedesktop.DBus.Properties", "Get",
      g_variant_new("(ss)", "org.kde.StatusNotifierItem", property), G_VARIANT_TYPE("(v)"), G_DBUS_CALL_FLAGS_NONE,
      5000, nullptr, &error);
  if (!reply) {
    std::string why = std::string("error: ") + error->message;
    g_error_free(error);
    return why;
  }
  GVariant* value = nullptr;
  g_variant_get(reply, "(v)", &value);
  std::string type = g_variant_get_type_string(value);
  g_variant_unref(value);
  g_variant_unref(reply);
  return type;
}

void StatusNotifierWatcher::onMethodCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
                                         GVariant* parameters, GDBusMethodInvocation* invocation, gpointer self) {
  const gchar* service = nullptr;
  g_variant_get(parameters, "(&s)", &service);
  static_cast<StatusNotifierWatcher*>(self)->registered_ = service;
  g_dbus_method_invocation_return_value(invocation, nullptr);
}

void StatusNotifierWatcher::onNameAcquired(GDBusConnection*, const gchar*, gpointer self) {
  static_cast<StatusNotifierWatcher*>(self)->named_ = true;
}

}  // namespace x11test
