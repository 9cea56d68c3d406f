// The Linux program while the desktop around it changes: each case stops
// or replaces one part of the private desktop (the panel, the compositor,
// the window manager, the X server) under a running program, and checks
// that the user loses nothing. Each runs on a desktop of its own
// (scripts/test-linux-desktop), which the script ends afterwards.
#include "DesktopProgram.h"
#include "support/PictureFile.h"

#include <fstream>
#include <sstream>

using x11test::DesktopProgram;
using x11test::Rectangle;
using x11test::waitUntil;

namespace {

class DesktopFaults : public DesktopProgram {
 protected:
  void SetUp() override {
    DesktopProgram::SetUp();
    if (!IsSkipped() && !getenv("X_SESSION_XVFB_PID")) {
      GTEST_SKIP() << "needs the desktop's parts named by scripts/x-session";
    }
  }

  void TearDown() override {
    DesktopProgram::TearDown();
    endStartedParts();
  }

  // Killed outright: openbox has been seen to deadlock in its SIGTERM
  // handler, and a part that never ends would hold the case up.
  void endStartedParts() {
    for (pid_t part : startedParts_) {
      kill(part, SIGKILL);
      waitpid(part, nullptr, 0);
    }
    startedParts_.clear();
  }

  // Ends the part of the session that the variable names.
  static void stopPart(const char* variable) {
    const char* pid = getenv(variable);
    ASSERT_TRUE(pid) << variable << " is not set: this desktop has no such part";
    kill(static_cast<pid_t>(std::atoi(pid)), SIGTERM);
  }

  // Starts a part again, as the test's own.
  pid_t startPart(std::vector<const char*> command) {
    command.push_back(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
      int null = open("/dev/null", O_WRONLY);
      dup2(null, STDOUT_FILENO);
      dup2(null, STDERR_FILENO);
      execvp(command[0], const_cast<char* const*>(command.data()));
      _exit(127);
    }
    startedParts_.push_back(pid);
    return pid;
  }

  Window windowManager() { return desktop_->selectionOwner("WM_S0"); }

  std::vector<pid_t> startedParts_;
};

// A panel that restarts takes the icon again, and its menus work.
TEST_F(DesktopFaults, APanelStartedAgainTakesTheTrayIconBack) {
  testsupport::writeSolidPng("square.png", 50, 50, 0xFF00FF00);
  writeSettings(R"(<image x="300" y="300" path="square.png"/>)");
  start(1);

  stopPart("X_SESSION_PANEL_PID");
  ASSERT_TRUE(waitUntil([&] { return !trayRuns(); })) << "expected the panel gone";
  pid_t panel = startPart({"tint2"});

  EXPECT_TRUE(waitUntil([&] { return trayIcon() && desktop_->embedderOf(trayIcon()) == panel; }, 5))
      << "expected the icon in the new panel within 5 s";
  chooseFromSystemMenu("Exit");
  EXPECT_EQ(0, exitStatus());
}

// Over a white desktop window: a picture whose left third is opaque green,
// middle third clear and right third half-transparent blue, raised above an
// opaque red one made after it, both kept above. When the compositor stops,
// the clear pixels still show the red one (the shape takes over, no black
// box), the order and keep-above stay; when it starts again, the soft blue
// is blended again.
TEST_F(DesktopFaults, TheCompositorStoppingAndStartingKeepsWhatThePicturesShow) {
  if (!compositorRuns()) {
    GTEST_SKIP() << "needs a compositor";
  }
  std::vector<std::uint32_t> thirds;
  for (int y = 0; y < 100; ++y) {
    for (int x = 0; x < 99; ++x) {
      thirds.push_back(x < 33 ? 0xFF00FF00u : x < 66 ? 0x00000000u : 0x800000FFu);
    }
  }
  testsupport::writePng("thirds.png", 99, 100, thirds);
  testsupport::writeSolidPng("red.png", 200, 200, 0xFFFF0000);
  writeSettings(R"(<image x="231" y="150" path="thirds.png"/><image x="100" y="100" path="red.png"/>)");
  desktop_->createClickTarget(Rectangle{0, 0, 1280, 900});
  start(2);
  desktop_->click(320, 200, 1);  // raises the picture over the red one
  chooseFromSystemMenu("TopMost");
  const std::uint32_t blendedOverWhite = 0xFF7F7FFFu;
  auto near = [&](int x, int y, std::uint32_t colour) {
    std::uint32_t pixel = pixelAt(x, y);
    for (int shift : {16, 8, 0}) {
      if (std::abs(static_cast<int>((pixel >> shift) & 0xFF) - static_cast<int>((colour >> shift) & 0xFF)) > 2) {
        return false;
      }
    }
    return true;
  };
  auto bothAbove = [&] {
    Window thirdsWindow = pictureAt(231, 150), redWindow = pictureAt(100, 100);
    return thirdsWindow && redWindow && desktop_->hasState(thirdsWindow, "_NET_WM_STATE_ABOVE") &&
           desktop_->hasState(redWindow, "_NET_WM_STATE_ABOVE");
  };
  ASSERT_TRUE(comesToShow(240, 200, 0xFF00FF00u)) << "the raised picture's green over the red one";
  ASSERT_TRUE(waitUntil(bothAbove)) << "expected TopMost on both";
  ASSERT_TRUE(waitUntil([&] { return near(320, 200, blendedOverWhite); })) << "soft blue over white";

  stopPart("X_SESSION_COMPOSITOR_PID");
  ASSERT_TRUE(waitUntil([&] { return !compositorRuns(); })) << "expected the compositor gone";
  EXPECT_TRUE(waitUntil([&] { return pixelAt(280, 200) == 0xFFFF0000u; }, 2))
      << "expected red through the clear third within 2 s, got 0x" << std::hex << pixelAt(280, 200);
  EXPECT_TRUE(comesToShow(240, 200, 0xFF00FF00u)) << "expected the raised picture still above the red one";
  EXPECT_TRUE(waitUntil(bothAbove)) << "expected TopMost kept";

  startPart({"xcompmgr", "-n"});
  ASSERT_TRUE(waitUntil([&] { return compositorRuns(); })) << "expected the compositor back";
  EXPECT_TRUE(waitUntil([&] { return near(320, 200, blendedOverWhite); }))
      << "expected the soft blue blended again, got 0x" << std::hex << pixelAt(320, 200);
  EXPECT_TRUE(comesToShow(280, 200, 0xFFFF0000u)) << "expected red through the clear third";
  EXPECT_TRUE(comesToShow(240, 200, 0xFF00FF00u)) << "expected the raised picture still above the red one";
}

// A window manager replaced by another, or ended and started again, finds
// the pictures where they were, and keeps the kept-above one above.
TEST_F(DesktopFaults, AnotherWindowManagerLeavesThePicturesWhereTheyWere) {
  testsupport::writeSolidPng("square.png", 60, 60, 0xFF00FF00);
  writeSettings(R"(<image x="300" y="200" path="square.png"/><image x="500" y="400" path="square.png"/>)");
  start(2);
  chooseFromSystemMenu("TopMost");
  ASSERT_TRUE(waitUntil([&] { return pictureAt(300, 200) && desktop_->hasState(pictureAt(300, 200), "_NET_WM_STATE_ABOVE"); }));

  const struct {
    const char* how;
    bool replace;
  } changes[] = {{"openbox --replace", true}, {"ended and started again", false}};
  for (const auto& change : changes) {
    SCOPED_TRACE(change.how);
    Window before = windowManager();
    if (change.replace) {
      startPart({"openbox", "--replace"});
    } else {
      endStartedParts();
      ASSERT_TRUE(waitUntil([&] { return windowManager() == 0; })) << "expected no window manager";
      startPart({"openbox"});
    }
    ASSERT_TRUE(waitUntil([&] { return windowManager() != 0 && windowManager() != before; }))
        << "expected a new window manager";

    EXPECT_TRUE(waitUntil([&] { return pictureAt(300, 200) && pictureAt(500, 400); }))
        << "expected both pictures where they were, got " << placesOfWindows();
    EXPECT_TRUE(waitUntil([&] { return desktop_->hasState(pictureAt(300, 200), "_NET_WM_STATE_ABOVE"); }))
        << "expected TopMost kept";
  }
  chooseFromSystemMenu("Exit");
  EXPECT_EQ(0, exitStatus());
}

// With nothing left to show on, the program ends at once with 1 and says
// so once, without a crash and without GLib's complaints.
TEST_F(DesktopFaults, TheXServerGoingAwayEndsTheProgramWithOne) {
  testsupport::writeSolidPng("square.png", 50, 50, 0xFF00FF00);
  writeSettings(R"(<image path="square.png"/>)");
  pid_ = launch("errors.txt");
  ASSERT_TRUE(waitUntil([&] { return picturesShown().size() == 1 && trayIcon() != 0; }));
  desktop_ = nullptr;
  host_.reset();  // the test's own connection would end the test with the server

  stopPart("X_SESSION_XVFB_PID");

  EXPECT_EQ(1, exitStatus());
  std::stringstream errors;
  errors << std::ifstream("errors.txt").rdbuf();
  std::string text = errors.str();
  EXPECT_NE(std::string::npos, text.find("the X display went away")) << "standard error was:\n" << text;
  EXPECT_EQ(std::string::npos, text.find("CRITICAL")) << "standard error was:\n" << text;
}

}  // namespace
