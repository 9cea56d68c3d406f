// The Linux program on a real X11 desktop (Xvfb, a window manager, a tray
// panel, a compositor where a case needs one), driven as a user would:
// through the pointer and the keyboard, reading what the X server shows.
#include <gtest/gtest.h>

#include <windows.h>

#include <platform/desktop.h>

#include <X11/Xlib.h>

#include <chrono>
#include <csignal>
#include <thread>
#include <fstream>
#include <string>
#include <vector>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "DesktopProgram.h"
#include "hosts/gtk/WindowNames.h"
#include "StatusNotifierWatcher.h"
#include "support/PictureFile.h"

using x11test::DesktopProgram;
using x11test::downsTo;
using x11test::waitUntil;

namespace {

// A picture that another client moved is dragged from where it is then
// (the shared scenarios drag one from where the settings put it).
TEST_F(DesktopProgram, ADragMovesAPictureAnotherClientMovedFromWhereItIs) {
  testsupport::writeSolidPng("square.png", 100, 100, 0xFF00FF00);
  writeSettings(R"(<image x="100" y="100" path="square.png"/>)");
  start(1);
  Window picture = 0;
  ASSERT_TRUE(waitUntil([&] { return (picture = pictureAt(100, 100)) != 0; })) << "expected it at 100, 100";
  desktop_->moveWindow(picture, 400, 300);
  ASSERT_TRUE(waitUntil([&] { return pictureAt(400, 300) == picture; }));
  // The window manager tells the program of the move with a notice of its
  // own, which no other client can see arrive: a user's drag comes long
  // after it.
  std::this_thread::sleep_for(std::chrono::milliseconds(300));

  desktop_->moveTo(450, 350);
  desktop_->press(1);
  for (int step = 1; step <= 5; ++step) {
    desktop_->moveTo(450 + step * 120, 350 + step * 60);
  }
  desktop_->release(1);

  EXPECT_TRUE(waitUntil([&] { return pictureAt(1000, 600) == picture; }))
      << "expected the picture at 1000, 600, got " << desktop_->geometry(picture).x << ", "
      << desktop_->geometry(picture).y;
}

// Of two copies that start at the same instant, one shows its pictures and
// tray icon, the other says that one runs.
TEST_F(DesktopProgram, OfTwoCopiesStartedAtOnceExactlyOneRuns) {
  testsupport::writeSolidPng("square.png", 50, 50, 0xFF00FF00);
  writeSettings(R"(<image x="200" y="200" path="square.png"/>)");
  pid_t copies[2] = {launch(), launch()};
  auto hasIcon = [&](pid_t copy) { return desktop_->windowTitled(copy, "Tessaline") != 0; };
  auto showsSomething = [&](pid_t copy) { return !desktop_->mappedWindowsOf(copy).empty(); };
  ASSERT_TRUE(waitUntil([&] {
    return showsSomething(copies[0]) && showsSomething(copies[1]) && hasIcon(copies[0]) != hasIcon(copies[1]);
  })) << "expected one copy with its icon and one with its box, got icons: " << hasIcon(copies[0]) << ", "
      << hasIcon(copies[1]);
  pid_ = hasIcon(copies[0]) ? copies[0] : copies[1];
  pid_t second = pid_ == copies[0] ? copies[1] : copies[0];

  kill(second, SIGTERM);
  int status = 0;
  EXPECT_EQ(255, exitStatusOf(second, status));
  EXPECT_TRUE(running());
  EXPECT_EQ(1u, picturesShown().size());
}

// The same claim, made by two connections in one step each: the first to
// look takes the name, the second finds it taken, and a window of the
// second's that bears the name neither takes it away nor drops it.
// Each step is one program's: "looks" for the name (and claims it when it
// is free), "shows" or "ends" its window of that name, or "waits" (its
// names are settled). Then the second program looks for the name.
TEST(OneCopy, ANameIsHeldFromTheWaitAfterItsWindowShowsUntilTheWaitAfterItEndsAndOnlyByItsHolder) {
  if (!getenv("TESSALINE_X11_TESTS")) {
    GTEST_SKIP() << "runs in scripts/test-linux-desktop, on a private X display";
  }
  const struct {
    const char* name;
    std::vector<std::string> steps;
    bool secondFindsIt;
    std::size_t titleLength = 0;  // else a short one of its own
  } cases[] = {
      {"looked for first", {"first looks"}, true},
      {"shown", {"first shows", "first waits"}, true},
      {"shown, then ended", {"first shows", "first waits", "first ends", "first waits"}, false},
      {"ended and shown again before a wait (a Reload)",
       {"first shows", "first waits", "first ends", "first shows", "first waits"},
       true},
      {"another's window of that name ended",
       {"first looks", "second shows", "second waits", "second ends", "second waits"},
       true},
      {"a title too long for an X atom", {"first looks", "first shows", "first waits"}, false, 70000},
  };
  auto wait = [] { while (g_main_context_iteration(nullptr, FALSE)) {} };
  HWND window = reinterpret_cast<HWND>(static_cast<LONG_PTR>(1));
  int round = 0;
  for (const auto& test : cases) {
    Display* displays[2] = {XOpenDisplay(nullptr), XOpenDisplay(nullptr)};
    bool found = false;
    {
      platform::gtk::WindowNames first(displays[0]), second(displays[1]);
      std::string title = "One Copy " + std::to_string(++round);
      if (test.titleLength) {
        title.resize(test.titleLength, 'x');
      }
      for (const std::string& step : test.steps) {
        platform::gtk::WindowNames& names = step.rfind("first", 0) == 0 ? first : second;
        if (step.find("looks") != std::string::npos) {
          names.othersHave("ParentWindow", title);
        } else if (step.find("shows") != std::string::npos) {
          names.publish(window, "ParentWindow", title);
        } else if (step.find("ends") != std::string::npos) {
          names.withdraw(window);
        } else {
          wait();
        }
      }
      found = second.othersHave("parentwindow", title);
    }
    XCloseDisplay(displays[0]);
    XCloseDisplay(displays[1]);
    EXPECT_EQ(test.secondFindsIt, found) << test.name;
  }
}

// The settings read again while the launcher menu is open take its items
// away: choosing one still ends the menu, and the program goes on.
TEST_F(DesktopProgram, AMenuWhoseItemsAReloadTookAwayStillEnds) {
  testsupport::writeSolidPng("square.png", 50, 50, 0xFF00FF00);
  writeSettings(R"(<launcher><file name="Marker" path="marker.sh"/></launcher><image x="300" y="300" path="square.png"/>)");
  start(1);
  Window before = pictureAt(300, 300);
  openTrayMenu(1);

  kill(pid_, SIGHUP);
  ASSERT_TRUE(waitUntil([&] {
    Window now = pictureAt(300, 300);
    return now != 0 && now != before;
  })) << "expected the picture made anew by the reload while the menu is open";
  chooseByKeyboard(1);

  chooseFromSystemMenu("Exit");
  EXPECT_EQ(0, exitStatus());
}

// Without a compositor a picture's shape is its visible pixels: what lies
// below shows through the clear ones.
TEST_F(DesktopProgram, WithoutACompositorTransparentPixelsShowWhatIsBelow) {
  if (compositorRuns()) {
    GTEST_SKIP() << "needs a desktop without a compositor";
  }
  std::vector<std::uint32_t> ring;
  for (int y = 0; y < 100; ++y) {
    for (int x = 0; x < 100; ++x) {
      ring.push_back(x >= 25 && x < 75 && y >= 25 && y < 75 ? 0x00000000u : 0xFF0000FFu);
    }
  }
  testsupport::writeSolidPng("red.png", 200, 200, 0xFFFF0000);
  testsupport::writePng("ring.png", 100, 100, ring);
  writeSettings(R"(<image x="100" y="100" path="red.png"/><image x="150" y="150" path="ring.png"/>)");
  start(2);

  EXPECT_TRUE(comesToShow(200, 200, 0xFFFF0000u)) << "red through the ring's hole";
  EXPECT_TRUE(comesToShow(155, 155, 0xFF0000FFu)) << "the ring itself";
}

// A panel that shows StatusNotifierItems instead of embedding icons: the
// icon becomes an item that answers each property a panel may ask for on
// its own, and whose ContextMenu (the right button) opens the system menu
// at the point the panel gives. While another client holds the pointer
// (the panel, still busy with its click), the menu is tried again for a
// second, then given up; Exit takes the item away.
TEST_F(DesktopProgram, WithoutAnXEmbedTrayTheIconIsAStatusNotifierItem) {
  if (trayRuns() || !getenv("DBUS_SESSION_BUS_ADDRESS")) {
    GTEST_SKIP() << "needs a desktop without an XEmbed tray, and a session bus of its own (dbus-run-session)";
  }
  x11test::StatusNotifierWatcher watcher;
  ASSERT_TRUE(waitUntil([&] { return watcher.named(); })) << "expected the watcher's name on the bus";
  testsupport::writeSolidPng("square.png", 50, 50, 0xFF00FF00);
  writeSettings(R"(<image x="100" y="100" path="square.png"/>)");
  pid_ = launch();
  ASSERT_TRUE(waitUntil([&] { return !watcher.registered().empty(); })) << "expected an item registered";
  std::string item = watcher.registered();
  ASSERT_EQ(1u, desktop_->mappedWindowsOf(pid_).size()) << "expected the picture alone, no status icon";
  const struct {
    const char* name;
    const char* type;
  } properties[] = {{"Category", "s"},          {"Id", "s"},
                    {"Title", "s"},             {"Status", "s"},
                    {"WindowId", "i"},          {"IconName", "s"},
                    {"IconThemePath", "s"},     {"IconPixmap", "a(iiay)"},
                    {"OverlayIconName", "s"},   {"OverlayIconPixmap", "a(iiay)"},
                    {"AttentionIconName", "s"}, {"AttentionIconPixmap", "a(iiay)"},
                    {"AttentionMovieName", "s"}, {"ToolTip", "(sa(iiay)ss)"},
                    {"ItemIsMenu", "b"},        {"Menu", "o"}};
  for (const auto& property : properties) {
    EXPECT_EQ(property.type, watcher.propertyType(item, property.name)) << property.name;
  }

  Display* grabber = XOpenDisplay(nullptr);
  auto grab = [&] {
    XGrabPointer(grabber, DefaultRootWindow(grabber), False, ButtonPressMask, GrabModeAsync, GrabModeAsync, None,
                 None, CurrentTime);
    XSync(grabber, False);
  };
  grab();
  ASSERT_EQ("", watcher.call(item, "ContextMenu", 600, 400));
  EXPECT_FALSE(waitUntil([&] { return windowNear(600, 400); }, 2)) << "expected the menu given up";
  ASSERT_EQ("", watcher.call(item, "ContextMenu", 600, 400));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  XUngrabPointer(grabber, CurrentTime);
  XSync(grabber, False);
  ASSERT_TRUE(waitUntil([&] { return windowNear(600, 400); })) << "expected a menu at 600, 400 once the pointer "
                                                                   "was free, got "
                                                                << placesOfWindows();
  XCloseDisplay(grabber);
  chooseByKeyboard(downsTo("Exit"));

  EXPECT_EQ(0, exitStatus());
  EXPECT_FALSE(watcher.onBus(item)) << "expected " << item << " gone from the bus";
}

// ---- Starts from the desktop's menu, and what the launcher starts ----

// The menu entry's own command, the program built here in place of the
// installed one: on a fresh account it shows the example; where the user's
// folder cannot be made, a box says why.
TEST_F(DesktopProgram, TheMenuEntryShowsTheExampleOnAFreshAccountOrABoxSayingWhy) {
  std::ifstream entry(TESSALINE_DESKTOP_ENTRY);
  std::string exec;
  while (std::getline(entry, exec) && exec.rfind("Exec=tessaline", 0) != 0) {
  }
  ASSERT_EQ(0u, exec.rfind("Exec=tessaline", 0)) << "expected an Exec line of tessaline in " << TESSALINE_DESKTOP_ENTRY;
  for (bool configIsAFile : {false, true}) {
    SCOPED_TRACE(configIsAFile ? "~/.config a file" : "a fresh account");
    std::string home = directory_.path().string() + (configIsAFile ? "/blocked" : "/fresh");
    mkdir(home.c_str(), 0755);
    if (configIsAFile) {
      std::ofstream(home + "/.config");
    }
    std::string command = "exec " TESSALINE_PROGRAM + exec.substr(14);
    if ((pid_ = fork()) == 0) {
      setenv("HOME", home.c_str(), 1);
      unsetenv("XDG_CONFIG_HOME");
      execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    launched_.push_back(pid_);
    if (configIsAFile) {
      ASSERT_TRUE(waitUntil([&] { return desktop_->windowTitled(pid_, "Tessaline") != 0; })) << "expected a box";
      desktop_->key("Return");
      EXPECT_EQ(1, exitStatus());
      continue;
    }
    EXPECT_TRUE(waitUntil([&] { return picturesShown().size() == 5; }))
        << "expected the example's 5 pictures, got " << placesOfWindows();
    kill(pid_, SIGTERM);
    EXPECT_EQ(0, exitStatus());
  }
}

// A path with a folder is found from the program's folder, and what it runs
// has a session of its own, a startup notification id with a time, and
// the environment the program had.
TEST_F(DesktopProgram, ALaunchedProgramRunsInASessionOfItsOwnWithAStartupId) {
  mkdir("tools", 0755);
  std::ofstream("tools/probe.sh") << "#!/bin/sh\nread -r pid name state parent group session rest </proc/$$/stat\n"
                                     "echo \"$session $DESKTOP_STARTUP_ID ${GDK_GL-none}\" >probe.tmp && mv probe.tmp probed\n";
  chmod("tools/probe.sh", 0755);
  testsupport::writeSolidPng("square.png", 50, 50, 0xFF00FF00);
  writeSettings(R"(<launcher><file name="Probe" path="tools/probe.sh"/></launcher><image path="square.png"/>)");
  start(1);

  openTrayMenu(1);
  chooseByKeyboard(1);

  ASSERT_TRUE(waitUntil([] { return access("tools/probed", F_OK) == 0; })) << "expected tools/probe.sh to run";
  pid_t session = 0;
  std::string id, openGL;
  std::ifstream("tools/probed") >> session >> id >> openGL;
  EXPECT_NE(getsid(pid_), session) << "expected a session other than the program's";
  std::size_t time = id.rfind("_TIME");
  EXPECT_TRUE(time != std::string::npos && std::strtoul(id.c_str() + time + 5, nullptr, 10) != 0)
      << "expected DESKTOP_STARTUP_ID with a time, got \"" << id << "\"";
  EXPECT_EQ("none", openGL) << "expected no GDK_GL from the program's own display opening";
}

}  // namespace
