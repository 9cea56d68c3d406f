// The Linux program's cases that hold on every desktop it runs on, driven
// as a user would, through the pointer, the keyboard and the tray, reading
// what the screen shows. Each host's harness runs this one list.
#include <gtest/gtest.h>

#include <windows.h>

#include <platform/desktop.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "ProgramOnDesktop.h"
#include "support/PictureFile.h"

using desktoptest::ProgramOnDesktop;
using desktoptest::Rectangle;
using desktoptest::waitUntil;

namespace {

const std::uint32_t kGreen = 0xFF00FF00u;
const std::uint32_t kBlue = 0xFF0000FFu;
const std::uint32_t kRed = 0xFFFF0000u;

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
TEST_F(ProgramOnDesktop, TheScreenShowsWhatTheModelDesktopComposes) {
  if (!host_->composites()) {
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

  start();
  std::vector<std::uint32_t> shown;
  waitUntil([&] { return samePixels(composed, shown = host_->pixels(area), area.width); });
  EXPECT_TRUE(samePixels(composed, shown, area.width));
}

// The picture is transparent on its left half: a click there reaches the
// surface of the test's own below it.
TEST_F(ProgramOnDesktop, AClickOnATransparentPixelReachesTheSurfaceBelow) {
  std::vector<std::uint32_t> halfClear;
  for (int y = 0; y < 100; ++y) {
    for (int x = 0; x < 100; ++x) {
      halfClear.push_back(x < 50 ? 0x00000000u : kBlue);
    }
  }
  testsupport::writePng("half.png", 100, 100, halfClear);
  writeSettings(R"(<image x="150" y="150" path="half.png"/>)");
  host_->createClickTarget(Rectangle{100, 100, 200, 200});
  start();
  ASSERT_TRUE(comesToShow(220, 200, kBlue)) << "the blue half is above the surface below";

  host_->click(160, 200, 1);
  EXPECT_TRUE(waitUntil([&] { return host_->clickTargetPressed(); })) << "expected the click on the clear half below";
  host_->click(220, 200, 1);
  EXPECT_FALSE(waitUntil([&] { return host_->clickTargetPressed(); }, 1)) << "expected the blue half to take its click";
}

// Each step jumps farther than the picture is wide where the desktop lets
// the pointer jump, so only the program's capture keeps the motion coming.
TEST_F(ProgramOnDesktop, ADragMovesThePictureByThePointersOffset) {
  testsupport::writeSolidPng("square.png", 100, 100, kGreen);
  writeSettings(R"(<image x="100" y="100" path="square.png"/>)");
  start();
  ASSERT_TRUE(comesToShow(150, 150, kGreen));

  host_->moveTo(150, 150);
  host_->press(1);
  host_->moveTo(270, 210);
  EXPECT_TRUE(comesToShow(225, 165, kGreen)) << "expected the picture to follow the held button to 220, 160";
  for (int step = 2; step <= 5; ++step) {
    host_->moveTo(150 + step * 120, 150 + step * 60);
  }
  host_->release(1);

  EXPECT_TRUE(comesToShow(705, 405, kGreen)) << "expected the picture's corner moved to 700, 400";
  EXPECT_TRUE(comesToShow(795, 495, kGreen)) << "expected the picture's far corner moved to 800, 500";
  EXPECT_TRUE(comesToShow(150, 150, kGreen, false)) << "expected the picture gone from where it was";

  // Hidden and shown again, it comes back where it was dragged to.
  chooseFromSystemMenu("Hide");
  ASSERT_TRUE(comesToShow(705, 405, kGreen, false)) << "expected Hide to take the picture away";
  chooseFromSystemMenu("Hide");
  EXPECT_TRUE(comesToShow(705, 405, kGreen)) << "expected the picture shown again at 700, 400";
  EXPECT_TRUE(comesToShow(150, 150, kGreen, false)) << "expected the picture not shown again where it started";
}

TEST_F(ProgramOnDesktop, ALauncherEntryChosenByKeyboardRunsItsProgram) {
  std::ofstream("marker.sh") << "#!/bin/sh\ntouch marked\n";
  chmod("marker.sh", 0755);
  testsupport::writeSolidPng("square.png", 50, 50, kGreen);
  writeSettings(R"(<launcher><file name="Marker" path="marker.sh"/></launcher><image path="square.png"/>)");
  start();

  ASSERT_TRUE(host_->openTrayMenu(pid_, 1)) << "expected the launcher menu after a left click on the tray icon";
  host_->chooseInMenu(1);

  EXPECT_TRUE(waitUntil([] { return access("marked", F_OK) == 0; })) << "expected marker.sh to leave the file marked";
}

// A normal window of the test's own, raised after each choice (the program
// raises its picture when it chooses), stays below the picture while
// TopMost holds and comes above it again once TopMost is off.
TEST_F(ProgramOnDesktop, TopMostKeepsThePictureAboveANormalWindowAndBack) {
  testsupport::writeSolidPng("square.png", 80, 80, kGreen);
  writeSettings(R"(<image x="300" y="300" path="square.png"/>)");
  start();
  ASSERT_TRUE(comesToShow(340, 340, kGreen));
  host_->showNormalWindow(kRed);
  ASSERT_TRUE(comesToShow(340, 340, kRed)) << "expected the normal window above the picture";

  chooseFromSystemMenu("TopMost");
  ASSERT_TRUE(comesToShow(340, 340, kGreen)) << "expected TopMost to bring the picture above the window";
  host_->raiseNormalWindow();
  EXPECT_TRUE(comesToShow(340, 340, kGreen)) << "expected TopMost to keep the picture above the raised window";

  // The program takes the choice a moment after the key: raised until then.
  chooseFromSystemMenu("TopMost");
  EXPECT_TRUE(waitUntil([&] {
    host_->raiseNormalWindow();
    return pixelAt(340, 340) == kRed;
  })) << "expected the raised window above the picture once TopMost is off, got " << hex(pixelAt(340, 340));
}

// Hide and show, Reload, About, as the screen shows them.
TEST_F(ProgramOnDesktop, TheSystemMenuCommandsActOnThePictures) {
  testsupport::writeSolidPng("square.png", 80, 80, kGreen);
  writeSettings(R"(<image x="300" y="300" path="square.png"/>)");
  start();
  ASSERT_TRUE(comesToShow(340, 340, kGreen));

  chooseFromSystemMenu("Hide");
  EXPECT_TRUE(comesToShow(340, 340, kGreen, false)) << "expected Hide to take the picture away";
  chooseFromSystemMenu("Hide");
  EXPECT_TRUE(comesToShow(340, 340, kGreen)) << "expected Hide again to show it";

  chooseFromSystemMenu("About");
  ASSERT_TRUE(waitUntil([&] { return host_->windowTitled(pid_, "about"); })) << "expected the About box";
  host_->key("Return");
  EXPECT_TRUE(waitUntil([&] { return !host_->windowTitled(pid_, "about"); })) << "expected Return to close it";
}

// The system menu's Reload and SIGHUP read the settings again.
TEST_F(ProgramOnDesktop, ReloadAndSighupShowTheSettingsAnew) {
  testsupport::writeSolidPng("square.png", 50, 50, kGreen);
  for (int signal : {0, SIGHUP}) {
    SCOPED_TRACE(signal ? "SIGHUP" : "Reload");
    writeSettings(R"(<image x="100" y="100" path="square.png"/>)");
    start();
    ASSERT_TRUE(comesToShow(120, 120, kGreen));
    writeSettings(R"(<image x="500" y="200" path="square.png"/>)");

    if (signal) {
      kill(pid_, signal);
    } else {
      chooseFromSystemMenu("Reload");
    }

    EXPECT_TRUE(comesToShow(520, 220, kGreen)) << "expected the picture moved to 500, 200";
    EXPECT_TRUE(comesToShow(120, 120, kGreen, false)) << "expected it gone from 100, 100";
    kill(pid_, SIGTERM);
    ASSERT_EQ(0, exitStatus());
  }
}

// A picture that comes or goes can have the desktop answer for every other
// one (sway configures each surface of the layer again), and a program that
// lets those answers pile up unread is cut off: four hundred did it.
TEST_F(ProgramOnDesktop, FourHundredPicturesComeAndGoTogetherAndTheProgramLives) {
  testsupport::writeSolidPng("square.png", 20, 20, kGreen);
  auto fourHundredFrom = [](int left) {
    std::string images;
    for (int index = 0; index < 400; ++index) {
      images += "<image x=\"" + std::to_string(left + index % 20 * 15) + "\" y=\"" +
                std::to_string(100 + index / 20 * 15) + "\" path=\"square.png\"/>";
    }
    return images;
  };
  writeSettings(fourHundredFrom(100));
  start();
  ASSERT_TRUE(comesToShow(400, 400, kGreen)) << "expected the last picture at 385, 385";
  writeSettings(fourHundredFrom(600));
  kill(pid_, SIGHUP);
  EXPECT_TRUE(comesToShow(900, 400, kGreen)) << "expected the last picture reloaded at 885, 385";
  EXPECT_TRUE(comesToShow(400, 400, kGreen, false)) << "expected the first four hundred gone";
  kill(pid_, SIGTERM);
  EXPECT_EQ(0, exitStatus()) << "expected the program alive until SIGTERM ended it";
}

TEST_F(ProgramOnDesktop, AMissingPictureShowsItsBoxAndTheOthersStillAppear) {
  testsupport::writeSolidPng("square.png", 80, 80, kGreen);
  writeSettings(R"(<image path="missing.png"/><image x="300" y="300" path="square.png"/>)");
  pid_ = launch();
  ASSERT_TRUE(waitUntil([&] { return host_->windowTitled(pid_, "load error"); })) << "expected the box";
  host_->key("Return");
  EXPECT_TRUE(comesToShow(340, 340, kGreen)) << "expected the other picture after OK";
}

// Every way to end the program takes the tray icon away while the program
// still runs and ends with 0.
TEST_F(ProgramOnDesktop, ExitAndTheEndingSignalsEndWithZeroAndTakeTheTrayIconAway) {
  testsupport::writeSolidPng("square.png", 50, 50, kGreen);
  writeSettings(R"(<image path="square.png"/>)");
  const struct {
    const char* how;
    int signal;  // 0: Exit from the system menu
  } endings[] = {{"Exit", 0}, {"SIGTERM", SIGTERM}, {"SIGINT", SIGINT}};
  for (const auto& ending : endings) {
    SCOPED_TRACE(ending.how);
    start();
    host_->watchTrayIconGoing(pid_);
    if (ending.signal) {
      kill(pid_, ending.signal);
    } else {
      chooseFromSystemMenu("Exit");
    }
    EXPECT_EQ(0, exitStatus());
    EXPECT_TRUE(host_->trayIconWentFirst()) << "expected the tray icon to go first";
  }
}

// An ending signal answers whatever box is open as its closing button
// would: where the program runs, it then ends as Exit does; a second copy
// ends as its box leads to, with -1.
TEST_F(ProgramOnDesktop, AnEndingSignalEndsTheProgramWhateverBoxIsOpen) {
  testsupport::writeSolidPng("square.png", 50, 50, kGreen);
  const struct {
    const char* box;
    int signal;
    int status;
  } cases[] = {{"load error", SIGTERM, 0}, {"about", SIGINT, 0}, {"already running", SIGTERM, 255}};
  for (const auto& testCase : cases) {
    SCOPED_TRACE(testCase.box);
    pid_t ending = 0;
    if (std::string(testCase.box) == "load error") {
      writeSettings(R"(<image path="missing.png"/><image x="300" y="300" path="missing.png"/>)");
      ending = pid_ = launch();
      ASSERT_TRUE(waitUntil([&] { return host_->windowTitled(pid_, "load error"); }));
    } else if (std::string(testCase.box) == "about") {
      writeSettings(R"(<image path="square.png"/>)");
      start();
      chooseFromSystemMenu("About");
      ending = pid_;
      ASSERT_TRUE(waitUntil([&] { return host_->windowTitled(pid_, "about"); }));
    } else {
      start();
      ending = launch();
      ASSERT_TRUE(waitUntil([&] { return host_->showsAWindow(ending); }));
    }

    kill(ending, testCase.signal);

    int status = 0;
    EXPECT_EQ(testCase.status, exitStatusOf(ending, status));
    if (ending != pid_) {
      EXPECT_TRUE(running()) << "expected the first copy to run on";
      kill(pid_, SIGTERM);
      exitStatus();
    }
  }
}

// The first copy is found across processes, as on Windows.
TEST_F(ProgramOnDesktop, ASecondCopySaysSoAndEndsWithMinusOne) {
  testsupport::writeSolidPng("square.png", 50, 50, kGreen);
  writeSettings(R"(<image path="square.png"/>)");
  start();
  pid_t second = launch();

  ASSERT_TRUE(waitUntil([&] { return host_->showsAWindow(second); })) << "expected the second copy's box";
  host_->key("Return");
  int status = 0;
  EXPECT_EQ(255, exitStatusOf(second, status)) << "expected -1 from the second copy";
  EXPECT_TRUE(running()) << "expected the first copy to run on";
}

}  // namespace
