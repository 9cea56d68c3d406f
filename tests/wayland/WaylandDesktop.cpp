#include "WaylandDesktop.h"

#include <gio/gio.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace waylandtest {

namespace {

const std::uint32_t kBarBackground = 0xFF202020u;  // scripts/wayland-session's waybar.css

int sessionNumber(const char* name, int otherwise) {
  const char* value = std::getenv(name);
  return value ? std::atoi(value) : otherwise;
}

// What a shell command prints.
std::string outputOf(const std::string& command) {
  std::string text;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    std::size_t count;
    while ((count = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
      text.append(buffer, count);
    }
    pclose(pipe);
  }
  return text;
}

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) {
    lines.push_back(line);
  }
  return lines;
}

Rectangle boundingBox(const std::vector<Rectangle>& places) {
  int left = places.empty() ? 0 : places[0].x, top = places.empty() ? 0 : places[0].y, right = left, bottom = top;
  for (const Rectangle& place : places) {
    left = std::min(left, place.x);
    top = std::min(top, place.y);
    right = std::max(right, place.x + place.width);
    bottom = std::max(bottom, place.y + place.height);
  }
  return Rectangle{left, top, right - left, bottom - top};
}

GVariant* callBus(GDBusConnection* bus, const char* name, const char* path, const char* interface,
                  const char* method, GVariant* parameters) {
  return g_dbus_connection_call_sync(bus, name, path, interface, method, parameters, nullptr, G_DBUS_CALL_FLAGS_NONE,
                                     2000, nullptr, nullptr);
}

}  // namespace

// sway draws its cursor into what grim takes: it starts parked in the
// layout's far corner, away from what the cases look at.
WaylandDesktop::WaylandDesktop() {
  Rectangle layout = boundingBox(outputs());
  pointer_.setLayout(layout);
  pointer_.moveTo(layout.x + layout.width - 1, layout.y + layout.height - 1);
}

WaylandDesktop::~WaylandDesktop() {
  for (const Surface& surface : surfaces_) {
    kill(surface.pid, SIGKILL);
    waitpid(surface.pid, nullptr, 0);
    close(surface.output);
  }
}

// grim's PPM: "P6\n<width> <height>\n255\n", then RGB rows.
std::vector<std::uint32_t> WaylandDesktop::pixels(const Rectangle& area) {
  std::ostringstream command;
  command << "grim -g '" << area.x << "," << area.y << " " << area.width << "x" << area.height << "' -t ppm - 2>/dev/null";
  std::string image = outputOf(command.str());
  std::istringstream header(image);
  std::string magic;
  int width = 0, height = 0, maximum = 0;
  header >> magic >> width >> height >> maximum;
  std::size_t start = static_cast<std::size_t>(header.tellg()) + 1;
  std::vector<std::uint32_t> pixels;
  if (magic != "P6" || width != area.width || height != area.height || image.size() < start + 3u * width * height) {
    return std::vector<std::uint32_t>(static_cast<std::size_t>(area.width * area.height), 0);
  }
  for (std::size_t index = start; index + 2 < image.size(); index += 3) {
    pixels.push_back(0xFF000000u | static_cast<std::uint8_t>(image[index]) << 16 |
                     static_cast<std::uint8_t>(image[index + 1]) << 8 | static_cast<std::uint8_t>(image[index + 2]));
  }
  return pixels;
}

// waybar lists an item as its bus name and path; the bus knows its process
// (0: every item).
std::vector<std::string> WaylandDesktop::trayItemsOf(int pid) {
  std::vector<std::string> items;
  GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
  if (!bus) {
    return items;
  }
  GVariant* reply = callBus(bus, "org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher",
                            "org.freedesktop.DBus.Properties", "Get",
                            g_variant_new("(ss)", "org.kde.StatusNotifierWatcher", "RegisteredStatusNotifierItems"));
  if (reply) {
    GVariant* value = nullptr;
    g_variant_get(reply, "(v)", &value);
    GVariantIter iterator;
    g_variant_iter_init(&iterator, value);
    const char* item = nullptr;
    while (g_variant_iter_next(&iterator, "&s", &item)) {
      std::string name = std::string(item).substr(0, std::string(item).find('/'));
      if (pid == 0) {
        items.push_back(item);
        continue;
      }
      GVariant* owner = callBus(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                                "GetConnectionUnixProcessID", g_variant_new("(s)", name.c_str()));
      guint32 ownerPid = 0;
      if (owner) {
        g_variant_get(owner, "(u)", &ownerPid);
        g_variant_unref(owner);
      }
      if (static_cast<int>(ownerPid) == pid) {
        items.push_back(item);
      }
    }
    g_variant_unref(value);
    g_variant_unref(reply);
  }
  g_object_unref(bus);
  return items;
}

// waybar draws the item's icon first in the bar: the box of what is not
// the bar's background there.
Rectangle WaylandDesktop::trayIcon() {
  Rectangle bar{0, 0, 200, sessionNumber("WAYLAND_SESSION_BAR_HEIGHT", 30)};
  std::vector<std::uint32_t> shown = pixels(bar);
  std::vector<Rectangle> drawn;
  for (std::size_t index = 0; index < shown.size(); ++index) {
    if (shown[index] != kBarBackground) {
      drawn.push_back(Rectangle{static_cast<int>(index) % bar.width, static_cast<int>(index) / bar.width, 1, 1});
    }
  }
  return boundingBox(drawn);
}

bool WaylandDesktop::trayIconShown(int pid) { return !trayItemsOf(pid).empty() && trayIcon().width > 1; }

bool WaylandDesktop::trayIconWentFirst() {
  return !watchedItems_.empty() && waitUntil([&] {
    std::vector<std::string> items = trayItemsOf(0);
    return std::find(items.begin(), items.end(), watchedItems_.front()) == items.end();
  });
}

std::vector<std::string> WaylandDesktop::windows() {
  return linesOf(outputOf("swaymsg -t get_tree -r | python3 -c '"
                          "import json, sys\n"
                          "def walk(node):\n"
                          "    if node.get(\"pid\"): print(\"%d\\t%s\" % (node[\"pid\"], node.get(\"name\") or \"\"))\n"
                          "    for child in node.get(\"nodes\", []) + node.get(\"floating_nodes\", []): walk(child)\n"
                          "walk(json.load(sys.stdin))'"));
}

bool WaylandDesktop::windowTitled(int pid, const std::string& title) {
  std::vector<std::string> all = windows();
  return std::find(all.begin(), all.end(), std::to_string(pid) + "\t" + title) != all.end();
}

bool WaylandDesktop::showsAWindow(int pid) {
  for (const std::string& window : windows()) {
    if (window.rfind(std::to_string(pid) + "\t", 0) == 0) {
      return true;
    }
  }
  return false;
}

// Other keys through wtype, paused first: without it the first key was
// seen lost.
void WaylandDesktop::key(const char* keysym) {
  if (!keyboard_.key(keysym)) {
    std::system(("wtype -s 100 -k " + std::string(keysym)).c_str());
  }
}

// A menu is new pixels around the icon (the panel's below it, the
// launcher at the pointer).
bool WaylandDesktop::openTrayMenu(int pid, int button) {
  menuPid_ = pid;
  menuButton_ = button;
  Rectangle around{0, 0, 400, 400};
  std::vector<std::uint32_t> before = pixels(around);
  Rectangle icon = trayIcon();
  click(icon.x + icon.width / 2, icon.y + icon.height / 2, button);
  return waitUntil([&] { return pixels(around) != before; });
}

// The launcher, the program's own menu, by keyboard as on X11. The system
// menu that waybar draws is seen opened, then closed by a click outside,
// and its item clicked through the item's exported menu, as the panel
// sends it: waybar's bar takes no keyboard, and a pointer click on its
// items was seen to miss after a menu had closed, the next right click
// then opening none.
void WaylandDesktop::chooseInMenu(int position) {
  if (menuButton_ != 3) {
    for (int press = 0; press < position; ++press) {
      key("Down");
    }
    key("Return");
    return;
  }
  Rectangle layout = boundingBox(outputs());
  click(layout.x + layout.width - 10, layout.y + layout.height - 10, 1);
  std::vector<std::string> owned = trayItemsOf(menuPid_);
  if (!owned.empty()) {
    clickExportedItem(owned.front(), position);
  }
}

// The item's menu (its Menu property) as com.canonical.dbusmenu lays it
// out: the top level's children, separators not counted.
void WaylandDesktop::clickExportedItem(const std::string& item, int position) {
  std::string name = item.substr(0, item.find('/'));
  GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
  g_autoptr(GVariant) menu = callBus(bus, name.c_str(), item.substr(name.size()).c_str(),
                                     "org.freedesktop.DBus.Properties", "Get",
                                     g_variant_new("(ss)", "org.kde.StatusNotifierItem", "Menu"));
  g_autoptr(GVariant) boxedPath = menu ? g_variant_get_child_value(menu, 0) : nullptr;
  g_autoptr(GVariant) menuPath = boxedPath ? g_variant_get_variant(boxedPath) : nullptr;
  const char* path = menuPath ? g_variant_get_string(menuPath, nullptr) : nullptr;
  const char* properties[] = {"type", nullptr};
  g_autoptr(GVariant) layout = path ? callBus(bus, name.c_str(), path, "com.canonical.dbusmenu", "GetLayout",
                                              g_variant_new("(ii^as)", 0, -1, properties))
                                    : nullptr;
  g_autoptr(GVariant) root = layout ? g_variant_get_child_value(layout, 1) : nullptr;
  g_autoptr(GVariant) children = root ? g_variant_get_child_value(root, 2) : nullptr;
  int seen = 0;
  for (gsize index = 0; children && index < g_variant_n_children(children); ++index) {
    g_autoptr(GVariant) boxed = g_variant_get_child_value(children, index);
    g_autoptr(GVariant) child = g_variant_get_variant(boxed);
    g_autoptr(GVariant) childProperties = g_variant_get_child_value(child, 1);
    const char* type = nullptr;
    if (g_variant_lookup(childProperties, "type", "&s", &type) && std::string(type) == "separator") {
      continue;
    }
    if (++seen == position) {
      gint32 id = 0;
      g_variant_get_child(child, 0, "i", &id);
      g_autoptr(GVariant) reply = callBus(bus, name.c_str(), path, "com.canonical.dbusmenu", "Event",
                                          g_variant_new("(isvu)", id, "clicked", g_variant_new_int32(0), 0u));
    }
  }
  g_object_unref(bus);
}

WaylandDesktop::Surface WaylandDesktop::startSurface(const std::vector<std::string>& arguments) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) {
    throw std::runtime_error("no pipe for " WAYLAND_TEST_SURFACES);
  }
  pid_t pid = fork();
  if (pid == 0) {
    dup2(pipeEnds[1], STDOUT_FILENO);
    close(pipeEnds[0]);
    std::vector<char*> argv{const_cast<char*>(WAYLAND_TEST_SURFACES)};
    for (const std::string& argument : arguments) {
      argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    execv(WAYLAND_TEST_SURFACES, argv.data());
    _exit(127);
  }
  close(pipeEnds[1]);
  fcntl(pipeEnds[0], F_SETFL, O_NONBLOCK);
  Surface surface{pid, pipeEnds[0]};
  surfaces_.push_back(surface);
  if (!waitUntil([&] { return said(surface, "shown"); })) {
    throw std::runtime_error("wayland_test_surfaces did not show its surface");
  }
  return surface;
}

// Whether the surface said that line since last asked.
bool WaylandDesktop::said(const Surface& surface, const std::string& line) {
  std::string text;
  char buffer[256];
  ssize_t count;
  while ((count = read(surface.output, buffer, sizeof buffer)) > 0) {
    text.append(buffer, static_cast<std::size_t>(count));
  }
  return text.find(line + "\n") != std::string::npos;
}

void WaylandDesktop::createClickTarget(const Rectangle& area) {
  clickTarget_ = startSurface({"below", std::to_string(area.x), std::to_string(area.y), std::to_string(area.width),
                               std::to_string(area.height)});
}

bool WaylandDesktop::clickTargetPressed() { return said(clickTarget_, "pressed"); }

void WaylandDesktop::showNormalWindow(std::uint32_t colour) {
  char hex[8];
  std::snprintf(hex, sizeof hex, "%06X", colour & 0xFFFFFFu);
  startSurface({"window", hex});
}

std::vector<Rectangle> WaylandDesktop::outputs() {
  std::vector<Rectangle> places;
  for (const std::string& line : linesOf(outputOf("swaymsg -t get_outputs -r | python3 -c '"
                                                  "import json, sys\n"
                                                  "for output in json.load(sys.stdin):\n"
                                                  "    if output[\"active\"]: print(*output[\"rect\"].values())'"))) {
    Rectangle place{};
    std::istringstream(line) >> place.x >> place.y >> place.width >> place.height;
    places.push_back(place);
  }
  return places;
}

std::string WaylandDesktop::addOutput() {
  Rectangle layout = boundingBox(outputs());
  std::size_t before = outputs().size();
  outputOf("swaymsg create_output");
  waitUntil([&] { return outputs().size() > before; });
  std::string name = outputOf("swaymsg -t get_outputs -r | python3 -c 'import json, sys; "
                              "print(json.load(sys.stdin)[-1][\"name\"], end=\"\")'");
  outputOf("swaymsg output " + name + " position " + std::to_string(layout.x + layout.width) + " 0 resolution 640x480");
  waitUntil([&] { return boundingBox(outputs()).width == layout.width + 640; });
  pointer_.setLayout(boundingBox(outputs()));
  return name;
}

}  // namespace waylandtest

std::unique_ptr<desktoptest::HostDesktop> desktoptest::openHostDesktop(std::string& whyNot) {
  if (!std::getenv("TESSALINE_WAYLAND_TESTS")) {
    whyNot = "these run in scripts/test-wayland-desktop, on a private headless sway";
    return nullptr;
  }
  return std::unique_ptr<HostDesktop>(new waylandtest::WaylandDesktop);
}
