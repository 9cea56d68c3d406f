// The Linux program on a real X11 desktop (Xvfb, a window manager, a tray
// panel, a compositor where a case needs one), driven as a user would:
// through the pointer and the keyboard, reading what the X server shows.
#include <gtest/gtest.h>

#include <windows.h>

#include <platform/desktop.h>

#include <X11/Xlib.h>

#include <csignal>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "StatusNotifierWatcher.h"
#include "X11Desktop.h"
#include "support/PictureFile.h"
#include "support/TemporaryDirectory.h"

using x11test::Rectangle;
using x11test::waitUntil;

namespace {

const char kSystemMenuCommands[][8] = {"TopMost", "Hide", "Reload", "About", "Exit"};

// How many Down keys reach an item of the system menu ("TopMost", "Hide",
// separator, "Reload", separator, "About", "Exit"): separators are skipped.
int downsTo(const std::string& item) {
  for (int index = 0; index < 5; ++index) {
    if (item == kSystemMenuCommands[index]) {
      return index + 1;
    }
  }
  return 0;
}

struct Picture {
  int x, y, width, height;
};

class DesktopProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    // They take the pointer and keyboard of the display: only on the
    // private one the script makes.
    if (!getenv("TESSALINE_X11_TESTS")) {
      GTEST_SKIP() << "these run in scripts/test-linux-desktop, on a private X display";
    }
    desktop_.reset(new x11test::X11Desktop);
  }

  void TearDown() override {
    if (pid_ > 0 && running()) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }

  void writeSettings(const std::string& body) {
    std::ofstream("config.xml") << "<system>" << body << "</system>\n";
  }

  // Starts the program in the test's directory and waits until it shows
  // that many pictures and its tray icon.
  static pid_t launch() {
    pid_t pid = fork();
    if (pid == 0) {
      execl(TESSALINE_PROGRAM, TESSALINE_PROGRAM, static_cast<char*>(nullptr));
      _exit(127);
    }
    return pid;
  }

  void start(std::size_t pictures) {
    pid_ = launch();
    ASSERT_TRUE(waitUntil([&] { return picturesShown().size() == pictures && trayIcon() != 0; }))
        << "expected " << pictures << " pictures and the tray icon, got " << picturesShown().size()
        << " pictures and " << (trayIcon() ? "an icon" : "no icon");
  }

  std::vector<Window> picturesShown() {
    std::vector<Window> pictures;
    for (Window window : desktop_->mappedWindowsOf(pid_)) {
      Rectangle place = desktop_->geometry(window);
      if (window != trayIcon() && place.width > 1 && place.height > 1) {
        pictures.push_back(window);
      }
    }
    return pictures;
  }

  // A window of the program there: GTK also maps a small one off the
  // screen for a menu's grab.
  bool windowNear(int x, int y) {
    for (Window window : desktop_->mappedWindowsOf(pid_)) {
      Rectangle place = desktop_->geometry(window);
      if (std::abs(place.x - x) < 16 && std::abs(place.y - y) < 16) {
        return true;
      }
    }
    return false;
  }

  std::string placesOfWindows() {
    std::string places;
    for (Window window : desktop_->mappedWindowsOf(pid_)) {
      Rectangle place = desktop_->geometry(window);
      places += " " + std::to_string(place.width) + "x" + std::to_string(place.height) + " at " +
                std::to_string(place.x) + ", " + std::to_string(place.y);
    }
    return places.empty() ? "no windows" : "windows" + places;
  }

  Window trayIcon() { return desktop_->windowTitled(pid_, "Tessaline"); }

  Window pictureAt(int x, int y) { return desktop_->windowAt(pid_, x, y); }

  // A menu is a new mapped window of the program.
  void openTrayMenu(int button) {
    std::size_t before = desktop_->mappedWindowsOf(pid_).size();
    Rectangle icon = desktop_->geometry(trayIcon());
    desktop_->click(icon.x + icon.width / 2, icon.y + icon.height / 2, button);
    ASSERT_TRUE(waitUntil([&] { return desktop_->mappedWindowsOf(pid_).size() > before; }))
        << "expected a menu after clicking the tray icon with button " << button;
  }

  void chooseByKeyboard(int downs) {
    for (int press = 0; press < downs; ++press) {
      desktop_->key("Down");
    }
    desktop_->key("Return");
  }

  void chooseFromSystemMenu(const std::string& item) {
    openTrayMenu(3);
    chooseByKeyboard(downsTo(item));
  }

  std::uint32_t pixelAt(int x, int y) { return desktop_->pixels(Rectangle{x, y, 1, 1})[0]; }

  // Windows are painted a moment after they are mapped: wait for the colour.
  ::testing::AssertionResult comesToShow(int x, int y, std::uint32_t colour) {
    if (waitUntil([&] { return pixelAt(x, y) == colour; })) {
      return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "at (" << x << ", " << y << ") expected 0x" << std::hex << colour
                                         << ", got 0x" << pixelAt(x, y);
  }

  bool running() { return waitpid(pid_, &status_, WNOHANG) == 0; }

  // The exit status once the program has ended; -1000 when it does not.
  int exitStatus() {
    if (!waitUntil([&] { return !running(); })) {
      return -1000;
    }
    return WIFEXITED(status_) ? WEXITSTATUS(status_) : -WTERMSIG(status_);
  }

  bool compositorRuns() { return selectionOwned("_NET_WM_CM_S0"); }
  bool trayRuns() { return selectionOwned("_NET_SYSTEM_TRAY_S0"); }

  bool selectionOwned(const char* selection) {
    Display* display = XOpenDisplay(nullptr);
    bool owned = XGetSelectionOwner(display, XInternAtom(display, selection, False)) != 0;
    XCloseDisplay(display);
    return owned;
  }

  testsupport::TemporaryDirectory directory_{"x11"};
  std::unique_ptr<x11test::X11Desktop> desktop_;
  pid_t pid_ = 0;
  int status_ = 0;
};

// Channel by channel within 1, as two correct blends may round apart.
::testing::AssertionResult samePixels(const std::vector<std::uint32_t>& expected,
                                      const std::vector<std::uint32_t>& actual, int width) {
  if (expected.size() != actual.size()) {
    return ::testing::AssertionFailure() << "expected " << expected.size() << " pixels, got " << actual.size();
  }
  for (std::size_t index = 0; index < expected.size(); ++index) {
    for (int shift : {16, 8, 0}) {
      int want = (expected[index] >> shift) & 0xFF;
      int got = (actual[index] >> shift) & 0xFF;
      if (std::abs(want - got) > 1) {
        return ::testing::AssertionFailure() << "at (" << index % width << ", " << index / width << ") expected 0x"
                                             << std::hex << expected[index] << ", got 0x" << actual[index];
      }
    }
  }
  return ::testing::AssertionSuccess();
}

// A picture whose alpha rises from left to right, over an opaque black one:
// every level of the blend, tinted and faded.
TEST_F(DesktopProgram, TheScreenShowsWhatTheModelDesktopComposes) {
  if (!compositorRuns()) {
    GTEST_SKIP() << "needs a compositor";
  }
  std::vector<std::uint32_t> ramp;
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 256; ++x) {
      ramp.push_back(static_cast<std::uint32_t>(x) << 24 | 0x30C0F0u);
    }
  }
  testsupport::writeSolidPng("black.png", 400, 200, 0xFF000000);
  testsupport::writePng("ramp.png", 256, 64, ramp);
  writeSettings(R"(<image x="100" y="100" path="black.png"/>
                   <image x="120" y="120" color="0xC0FF80FF" path="ramp.png"/>
                   <image x="120" y="200" w="300" h="90" path="ramp.png"/>)");
  Rectangle area{100, 100, 400, 200};

  std::vector<std::uint32_t> composed;
  platform::desktop::reset();
  platform::desktop::setEcho(false);
  platform::script::then([&] {
    composed = platform::desktop::screenPixels(area.x, area.y, area.width, area.height);
    PostMessageA(FindWindowA("ParentWindow", "Tessaline"), WM_COMMAND, 104, 0);
  });
  ASSERT_EQ(0, WinMain(GetModuleHandleA(NULL), NULL, const_cast<char*>(""), SW_SHOWDEFAULT));

  start(3);
  std::vector<std::uint32_t> shown;
  waitUntil([&] { return samePixels(composed, shown = desktop_->pixels(area), area.width); }, 5);
  EXPECT_TRUE(samePixels(composed, shown, area.width));
}

// The top picture is transparent on its left half: a click there reaches
// the picture below, which a left click raises above it.
TEST_F(DesktopProgram, AClickOnATransparentPixelReachesThePictureBelow) {
  std::vector<std::uint32_t> halfClear;
  for (int y = 0; y < 100; ++y) {
    for (int x = 0; x < 100; ++x) {
      halfClear.push_back(x < 50 ? 0x00000000u : 0xFF0000FFu);
    }
  }
  testsupport::writeSolidPng("red.png", 200, 200, 0xFFFF0000);
  testsupport::writePng("half.png", 100, 100, halfClear);
  writeSettings(R"(<image x="100" y="100" path="red.png"/><image x="150" y="150" path="half.png"/>)");
  start(2);
  ASSERT_TRUE(comesToShow(220, 200, 0xFF0000FFu)) << "the blue half is on top at first";

  desktop_->click(160, 200, 1);

  EXPECT_TRUE(comesToShow(220, 200, 0xFFFF0000u)) << "the red picture raised by the click through the clear half";
}

TEST_F(DesktopProgram, ADragMovesThePictureByThePointersOffset) {
  testsupport::writeSolidPng("square.png", 100, 100, 0xFF00FF00);
  writeSettings(R"(<image x="100" y="100" path="square.png"/>)");
  start(1);
  Window picture = 0;
  ASSERT_TRUE(waitUntil([&] { return (picture = pictureAt(100, 100)) != 0; })) << "expected the picture at 100, 100";

  desktop_->moveTo(150, 150);
  desktop_->press(1);
  for (int step = 1; step <= 10; ++step) {
    desktop_->moveTo(150 + step * 10, 150 + step * 15);
  }
  desktop_->release(1);

  EXPECT_TRUE(waitUntil([&] {
    Rectangle place = desktop_->geometry(picture);
    return place.x == 200 && place.y == 250;
  })) << "expected the picture at 200, 250, got " << desktop_->geometry(picture).x << ", "
      << desktop_->geometry(picture).y;
}

TEST_F(DesktopProgram, ALauncherEntryChosenByKeyboardRunsItsProgram) {
  std::ofstream("marker.sh") << "#!/bin/sh\ntouch marked\n";
  chmod("marker.sh", 0755);
  testsupport::writeSolidPng("square.png", 50, 50, 0xFF00FF00);
  writeSettings(R"(<launcher><file name="Marker" path="marker.sh"/></launcher><image path="square.png"/>)");
  start(1);

  openTrayMenu(1);
  chooseByKeyboard(1);

  EXPECT_TRUE(waitUntil([] { return access("marked", F_OK) == 0; })) << "expected marker.sh to leave the file marked";
}

// What each command of the system menu does to a picture, as the window
// manager and the X server see it.
TEST_F(DesktopProgram, TheSystemMenuCommandsActOnThePictures) {
  testsupport::writeSolidPng("square.png", 80, 80, 0xFF00FF00);
  writeSettings(R"(<image x="300" y="300" path="square.png"/>)");
  start(1);

  chooseFromSystemMenu("TopMost");
  EXPECT_TRUE(waitUntil([&] { return desktop_->hasState(pictureAt(300, 300), "_NET_WM_STATE_ABOVE"); }))
      << "expected TopMost to keep the picture above";

  chooseFromSystemMenu("Hide");
  EXPECT_TRUE(waitUntil([&] { return picturesShown().empty(); })) << "expected Hide to unmap the picture";
  chooseFromSystemMenu("Hide");
  EXPECT_TRUE(waitUntil([&] { return picturesShown().size() == 1; })) << "expected Hide again to show it";

  writeSettings(R"(<image x="400" y="350" path="square.png"/>)");
  chooseFromSystemMenu("Reload");
  EXPECT_TRUE(waitUntil([&] { return pictureAt(400, 350) != 0; })) << "expected Reload to show the picture anew";

  std::size_t before = desktop_->mappedWindowsOf(pid_).size();
  chooseFromSystemMenu("About");
  ASSERT_TRUE(waitUntil([&] { return desktop_->windowTitled(pid_, "about") != 0; })) << "expected the About box";
  desktop_->key("Return");
  EXPECT_TRUE(waitUntil([&] { return desktop_->mappedWindowsOf(pid_).size() == before; }))
      << "expected Return to close the About box";
}

TEST_F(DesktopProgram, AMissingPictureShowsItsBoxAndTheOthersStillAppear) {
  testsupport::writeSolidPng("square.png", 80, 80, 0xFF00FF00);
  writeSettings(R"(<image path="missing.png"/><image x="300" y="300" path="square.png"/>)");
  pid_ = launch();
  ASSERT_TRUE(waitUntil([&] { return desktop_->windowTitled(pid_, "load error") != 0; })) << "expected the box";
  desktop_->key("Return");
  EXPECT_TRUE(waitUntil([&] { return pictureAt(300, 300) != 0; })) << "expected the other picture after OK";
}

// Every way to end the program takes the tray icon away and ends with 0.
TEST_F(DesktopProgram, ExitAndTheEndingSignalsEndWithZeroAndTakeTheTrayIconAway) {
  testsupport::writeSolidPng("square.png", 50, 50, 0xFF00FF00);
  writeSettings(R"(<image path="square.png"/>)");
  const struct {
    const char* how;
    int signal;  // 0: Exit from the system menu
  } endings[] = {{"Exit", 0}, {"SIGTERM", SIGTERM}, {"SIGINT", SIGINT}};
  for (const auto& ending : endings) {
    SCOPED_TRACE(ending.how);
    start(1);
    Window icon = trayIcon();
    if (ending.signal) {
      kill(pid_, ending.signal);
    } else {
      chooseFromSystemMenu("Exit");
    }
    EXPECT_EQ(0, exitStatus());
    EXPECT_FALSE(desktop_->exists(icon)) << "expected the tray icon gone";
  }
}

// The first copy's owner window is found across processes, as on Windows.
TEST_F(DesktopProgram, ASecondCopySaysSoAndEndsWithMinusOne) {
  testsupport::writeSolidPng("square.png", 50, 50, 0xFF00FF00);
  writeSettings(R"(<image path="square.png"/>)");
  start(1);
  pid_t second = launch();

  ASSERT_TRUE(waitUntil([&] { return !desktop_->mappedWindowsOf(second).empty(); })) << "expected the second copy's box";
  desktop_->key("Return");
  int status = 0;
  ASSERT_TRUE(waitUntil([&] { return waitpid(second, &status, WNOHANG) == second; }));
  EXPECT_EQ(255, WEXITSTATUS(status)) << "expected -1 from the second copy";
  EXPECT_TRUE(running()) << "expected the first copy to run on";
}

TEST_F(DesktopProgram, SighupReloadsTheSettings) {
  testsupport::writeSolidPng("square.png", 50, 50, 0xFF00FF00);
  writeSettings(R"(<image x="100" y="100" path="square.png"/>)");
  start(1);
  writeSettings(R"(<image x="500" y="200" path="square.png"/>)");

  kill(pid_, SIGHUP);

  EXPECT_TRUE(waitUntil([&] { return pictureAt(500, 200) != 0 && pictureAt(100, 100) == 0; }))
      << "expected the picture moved to 500, 200 by the reload";
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
// icon becomes an item, whose ContextMenu (the right button) opens the
// system menu at the point the panel gives, or, while another client holds
// the pointer, gives up on it; Exit takes the item away.
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

  Display* grabber = XOpenDisplay(nullptr);
  XGrabPointer(grabber, DefaultRootWindow(grabber), False, ButtonPressMask, GrabModeAsync, GrabModeAsync, None, None,
               CurrentTime);
  XSync(grabber, False);
  ASSERT_EQ("", watcher.call(item, "ContextMenu", 600, 400));
  EXPECT_FALSE(waitUntil([&] { return windowNear(600, 400); }, 2)) << "expected no menu without the pointer";
  XCloseDisplay(grabber);

  ASSERT_EQ("", watcher.call(item, "ContextMenu", 600, 400));
  ASSERT_TRUE(waitUntil([&] { return windowNear(600, 400); })) << "expected a menu at 600, 400, got "
                                                                   << placesOfWindows();
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
// has a session of its own and a startup notification id with a time.
TEST_F(DesktopProgram, ALaunchedProgramRunsInASessionOfItsOwnWithAStartupId) {
  mkdir("tools", 0755);
  std::ofstream("tools/probe.sh") << "#!/bin/sh\nread -r pid name state parent group session rest </proc/$$/stat\n"
                                     "echo \"$session $DESKTOP_STARTUP_ID\" >probe.tmp && mv probe.tmp probed\n";
  chmod("tools/probe.sh", 0755);
  testsupport::writeSolidPng("square.png", 50, 50, 0xFF00FF00);
  writeSettings(R"(<launcher><file name="Probe" path="tools/probe.sh"/></launcher><image path="square.png"/>)");
  start(1);

  openTrayMenu(1);
  chooseByKeyboard(1);

  ASSERT_TRUE(waitUntil([] { return access("tools/probed", F_OK) == 0; })) << "expected tools/probe.sh to run";
  pid_t session = 0;
  std::string id;
  std::ifstream("tools/probed") >> session >> id;
  EXPECT_NE(getsid(pid_), session) << "expected a session other than the program's";
  std::size_t time = id.rfind("_TIME");
  EXPECT_TRUE(time != std::string::npos && std::strtoul(id.c_str() + time + 5, nullptr, 10) != 0)
      << "expected DESKTOP_STARTUP_ID with a time, got \"" << id << "\"";
}

}  // namespace
