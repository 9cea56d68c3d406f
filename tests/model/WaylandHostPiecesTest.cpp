// What the Wayland host and the tray's panel-drawn menu add that needs no
// display: which host a session gets, one copy a session through locked
// files, the pointer of a drag from sway's surface-local points, the
// learning and answering of the tray icon's menu, and the pacing of the
// pointer's motion.
#include <windows.h>

#include <gtest/gtest.h>
#include <glib-unix.h>
#include <unistd.h>

#include <memory>

#include "hosts/gtk/HostChoice.h"
#include "hosts/gtk/MotionPacing.h"
#include "hosts/gtk/TrayMenuRequests.h"
#include "hosts/wayland/LockFileNames.h"
#include "hosts/wayland/PointerPath.h"
#include "support/TemporaryDirectory.h"

namespace {

using platform::InputEvent;
using platform::MenuItemView;
using platform::PopupMenuView;
using platform::gtk::HostKind;
namespace input = platform::input;

bool layerShell() { return true; }
bool noLayerShell() { return false; }

TEST(HostChoice, LayerShellGetsWaylandOtherwiseX11AndTheUserIsToldWhyNeither) {
  const struct {
    const char* forced;
    const char* wayland;
    const char* x11;
    bool (*shell)();
    HostKind expected;
    const char* saying;  // part of the reason, for none
  } cases[] = {
      {"", "wayland-1", ":0", layerShell, HostKind::wayland, ""},
      {"", "wayland-1", ":0", noLayerShell, HostKind::x11, ""},  // GNOME: through XWayland
      {"", "", ":0", layerShell, HostKind::x11, ""},
      {"", "wayland-1", "", noLayerShell, HostKind::none, "no layer shell"},
      {"", "", "", layerShell, HostKind::none, "neither WAYLAND_DISPLAY nor DISPLAY"},
      {"x11", "wayland-1", ":0", layerShell, HostKind::x11, ""},
      {"x11", "wayland-1", "", layerShell, HostKind::none, "DISPLAY is not set"},
      {"wayland", "wayland-1", ":0", noLayerShell, HostKind::none, "no layer shell"},
      {"wayland", "", ":0", layerShell, HostKind::none, "WAYLAND_DISPLAY is not set"},
      {"mir", "wayland-1", ":0", layerShell, HostKind::none, "it can be x11 or wayland"},
  };
  for (const auto& entry : cases) {
    platform::gtk::HostChoice choice = platform::gtk::chooseHost(entry.forced, entry.wayland, entry.x11, entry.shell);
    std::string context = std::string("TESSALINE_BACKEND=\"") + entry.forced + "\" WAYLAND_DISPLAY=\"" +
                          entry.wayland + "\" DISPLAY=\"" + entry.x11 + "\"";
    EXPECT_EQ(platform::gtk::hostKindName(entry.expected), std::string(platform::gtk::hostKindName(choice.kind)))
        << context;
    EXPECT_NE(std::string::npos, choice.why.find(entry.saying)) << context << ": expected \"" << entry.saying
                                                               << "\" in \"" << choice.why << "\"";
  }
}

// Two programs are two sets of locks on the same folder; the kernel tells
// them apart even within one process.
TEST(LockFileNames, OfTwoProgramsTheFirstToLookHoldsTheNameUntilItsWindowGoes) {
  testsupport::TemporaryDirectory directory("names");
  std::string folder = (directory.path() / "session" / "wayland-1").string();
  platform::wayland::LockFileNames first(folder);
  platform::wayland::LockFileNames second(folder);
  HWND window = reinterpret_cast<HWND>(0x10);

  EXPECT_FALSE(first.othersHave("ParentWindow", "Tessaline")) << "expected the free name claimed";
  EXPECT_TRUE(second.othersHave("parentwindow", "TESSALINE")) << "expected the claim seen, whatever the case";
  first.publish(window, "ParentWindow", "Tessaline");
  second.publish(window, "Picture", "");
  EXPECT_FALSE(first.othersHave("Picture", "")) << "expected an untitled window to take no name";
  first.withdraw(window);
  EXPECT_FALSE(second.othersHave("ParentWindow", "Tessaline")) << "expected the name free once its window went";
  EXPECT_TRUE(first.othersHave("ParentWindow", "Tessaline")) << "expected the second program to hold it now";

  for (const std::string& title : {std::string(300, 'x'), std::string("a/b\n.."), std::string("日本")}) {
    std::string name = platform::wayland::LockFileNames::fileName("Class", title);
    EXPECT_LE(name.size(), 200u) << "for a title of " << title.size() << " bytes";
    EXPECT_EQ(std::string::npos, name.find_first_of("/\n.")) << "expected one plain file name, got " << name;
  }
}

// Sway reports a held button's points relative to where the surface was
// at the press. The program moves the picture by each step of the cursor,
// so the picture must end where it started plus the pointer's travel, with
// the cursor on the pointer all the way.
TEST(PointerPath, ADragOnSwayFollowsThePointerExactly) {
  const struct {
    const char* how;
    std::vector<POINT> steps;
  } drags[] = {{"steady", std::vector<POINT>(10, POINT{20, 10})},
               {"back and forth", {{5, 0}, {15, -3}, {-20, 8}, {-1, -1}, {12, 12}, {0, 20}}},
               {"one pixel at a time", std::vector<POINT>(40, POINT{1, 0})}};
  for (const auto& drag : drags) {
    SCOPED_TRACE(drag.how);
    platform::wayland::PointerPath path;
    const POINT pressOrigin{100, 100};
    POINT origin = pressOrigin;
    POINT pointer{150, 140};
    POINT cursor = path.press(origin, POINT{pointer.x - origin.x, pointer.y - origin.y});
    for (const POINT& step : drag.steps) {
      pointer = POINT{pointer.x + step.x, pointer.y + step.y};
      POINT next = path.held(origin, POINT{pointer.x - pressOrigin.x, pointer.y - pressOrigin.y});
      origin = POINT{origin.x + next.x - cursor.x, origin.y + next.y - cursor.y};
      cursor = next;
      ASSERT_TRUE(cursor.x == pointer.x && cursor.y == pointer.y)
          << "expected the cursor at " << pointer.x << ", " << pointer.y << ", got " << cursor.x << ", " << cursor.y;
    }
    path.release();
    POINT local{7, 9};
    POINT free = path.held(origin, local);
    EXPECT_TRUE(free.x == origin.x + local.x && free.y == origin.y + local.y)
        << "expected a point after the release relative to where the surface is";
  }
}

// The program's side of a request: the queued actions run and the events
// reach it in order, and the menu the click opens is the one answered.
struct TrayMenuProgram {
  platform::gtk::InputQueue input;
  platform::gtk::TrayMenuRequests requests{input};
  std::vector<std::vector<MenuItemView>> offered;
  int clicks = 0;

  platform::gtk::TrayMenuRequests::Request request() {
    return {[this] { input.push(input::TrayIconMouse{NULL, 1, WM_RBUTTONDOWN}); },
            [this](const std::vector<MenuItemView>& items) { offered.push_back(items); }};
  }
  // Runs the queue; each click opens the menu, shown unless answered.
  std::vector<std::string> run(const std::vector<MenuItemView>& items) {
    std::vector<std::string> outcome;
    while (!input.empty()) {
      platform::gtk::QueuedInput item = input.pop();
      if (auto* action = std::get_if<std::function<void()>>(&item)) {
        (*action)();
      } else if (std::holds_alternative<input::TrayIconMouse>(std::get<InputEvent>(item))) {
        ++clicks;
        bool answered = requests.answer(PopupMenuView{NULL, NULL, {0, 0}, 0, items});
        outcome.push_back(answered ? "answered" : "shown");
      } else if (auto* choice = std::get_if<input::ChooseMenuItem>(&std::get<InputEvent>(item))) {
        outcome.push_back("chose " + std::to_string(choice->command));
      } else if (std::holds_alternative<input::DismissMenu>(std::get<InputEvent>(item))) {
        outcome.push_back("dismissed");
      }
    }
    return outcome;
  }
};

TEST(TrayMenuRequests, TheMenuIsLearntWhenIdleAndAChoiceIsMadeInTheMenuTheClickOpens) {
  std::vector<MenuItemView> items = {{100, "TopMost", false, true, false, {}, false}};
  const struct {
    const char* what;
    std::function<void(TrayMenuProgram&)> ask;
    std::vector<std::string> outcome;
    std::size_t offered;
  } cases[] = {
      {"learnt when idle", [](TrayMenuProgram& program) { program.requests.learnWhenIdle(&program, program.request()); },
       {"answered", "dismissed"}, 1},
      {"chosen, then learnt again", [](TrayMenuProgram& program) {
         program.requests.choose(&program, program.request(), 100);
       },
       {"answered", "chose 100", "answered", "dismissed"}, 2},
      {"forgotten before the program was idle", [](TrayMenuProgram& program) {
         program.requests.learnWhenIdle(&program, program.request());
         program.requests.forget(&program);
       },
       {}, 0},
  };
  for (const auto& entry : cases) {
    TrayMenuProgram program;
    entry.ask(program);
    std::vector<std::string> outcome = program.run(items);
    program.requests.idle();
    for (const std::string& step : program.run(items)) {
      outcome.push_back(step);
    }
    EXPECT_EQ(entry.outcome, outcome) << entry.what;
    EXPECT_EQ(entry.offered, program.offered.size()) << entry.what;
  }
  TrayMenuProgram program;
  program.input.push(input::TrayIconMouse{NULL, 1, WM_RBUTTONDOWN});
  EXPECT_EQ(std::vector<std::string>{"shown"}, program.run(items)) << "expected the user's own click's menu shown";
}

}  // namespace

namespace {

gint64 fakeNow = 0;
gint64 fakeClock() { return fakeNow; }

// The x of each motion handed on so far.
std::vector<int> handedOn(platform::gtk::InputQueue& queue) {
  std::vector<int> points;
  while (!queue.empty()) {
    platform::gtk::QueuedInput item = queue.pop();
    points.push_back(std::get<input::MoveCursor>(std::get<InputEvent>(item)).point.x);
  }
  return points;
}

// Every source the loop has ready, turn after turn, for about `milliseconds`.
void runLoopFor(int milliseconds) {
  for (int turn = 0; turn < milliseconds; ++turn) {
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
    g_usleep(1000);
  }
}

std::string listed(const std::vector<int>& points) {
  std::string text;
  for (int point : points) {
    text += std::to_string(point) + " ";
  }
  return text;
}

}  // namespace

// A step: 'm' a motion to x at `at` microseconds, 'b' a button (the
// pending motion now), 'e' the loop run until the frame's end has passed.
TEST(MotionPacing, TheFirstMotionGoesAtOnceTheNewestOfAFrameAtItsEndAndAButtonTakesItFirst) {
  struct Step {
    char kind;
    int x;
    gint64 at;
  };
  const struct {
    const char* name;
    std::vector<Step> steps;
    std::vector<int> expected;
  } cases[] = {
      {"a lone motion", {{'m', 1, 0}}, {1}},
      {"motions within a frame", {{'m', 1, 0}, {'m', 2, 1000}, {'m', 3, 2000}}, {1}},
      {"the frame's end", {{'m', 1, 0}, {'m', 2, 1000}, {'m', 3, 2000}, {'e', 0, 0}}, {1, 3}},
      {"a button within a frame", {{'m', 1, 0}, {'m', 2, 1000}, {'b', 0, 0}, {'e', 0, 0}}, {1, 2}},
      {"a motion after a quiet frame", {{'m', 1, 0}, {'m', 2, 9000}}, {1, 2}},
      {"a button with nothing pending", {{'b', 0, 0}}, {}},
  };
  for (const auto& test : cases) {
    platform::gtk::InputQueue queue;
    platform::gtk::MotionPacing pacing(queue, -1, fakeClock);
    for (const Step& step : test.steps) {
      fakeNow = 1000000 + step.at;
      if (step.kind == 'm') {
        pacing.moved(POINT{step.x, 0}, NULL);
      } else if (step.kind == 'b') {
        pacing.flush();
      } else {
        fakeNow += 10000;
        runLoopFor(30);
      }
    }
    EXPECT_EQ(listed(test.expected), listed(handedOn(queue))) << test.name;
  }
}

// What the display sent while a motion waited is read at the frame's end:
// a motion among it is the newest and goes on instead.
TEST(MotionPacing, TheDisplayIsNotReadWhileAMotionWaitsForItsFrame) {
  int pipeEnds[2];
  ASSERT_EQ(0, pipe(pipeEnds));
  platform::gtk::InputQueue queue;
  auto pacing = std::make_unique<platform::gtk::MotionPacing>(queue, pipeEnds[0]);
  std::pair<platform::gtk::MotionPacing*, int> display{pacing.get(), 0};  // and its reads
  auto readDisplay = [](gint file, GIOCondition, gpointer held) -> gboolean {
    auto& display = *static_cast<std::pair<platform::gtk::MotionPacing*, int>*>(held);
    char byte = 0;
    display.second += static_cast<int>(read(file, &byte, 1));
    display.first->moved(POINT{3, 0}, NULL);
    return G_SOURCE_CONTINUE;
  };
  guint watch = g_unix_fd_add(pipeEnds[0], G_IO_IN, readDisplay, &display);
  pacing->moved(POINT{1, 0}, NULL);
  pacing->moved(POINT{2, 0}, NULL);
  ASSERT_EQ(1, write(pipeEnds[1], "x", 1));
  g_main_context_iteration(nullptr, TRUE);
  EXPECT_EQ(0, display.second) << "expected the display left unread until the frame's end";
  runLoopFor(30);
  EXPECT_EQ(1, display.second) << "expected the display read after the frame's end";
  EXPECT_EQ(listed({1, 3}), listed(handedOn(queue))) << "expected the motion read at the frame's end to go on";
  g_source_remove(watch);
  pacing.reset();
  close(pipeEnds[0]);
  close(pipeEnds[1]);
}
