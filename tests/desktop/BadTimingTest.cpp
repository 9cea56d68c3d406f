// The user acting while a load waits on a picture's failure box: the tray
// and the pictures made so far stay live, and what they do must not break
// the load that is still running.
#include <string>
#include <vector>

#include "BadInputFixture.h"
#include "support/PictureFile.h"

namespace {

using namespace badinput;
namespace desktop = platform::desktop;
namespace script = platform::script;
using platform::MouseButton;

// Picture 0 at (100, 100), picture 1 missing, picture 2 at (300, 100).
class ActingDuringALoad : public BadInputFixture {
 protected:
  void SetUp() override {
    BadInputFixture::SetUp();
    testsupport::writeSolidPng("solid.png", 10, 10, 0xFFFF0000);
    writeFile("config.xml", settings("<launcher><file name='entry' path='e'/></launcher>" +
                                     image("x='100' y='100' w='100' h='100' path='solid.png'") +
                                     image("w='5' h='5' path='gone.png'") +
                                     image("x='300' y='100' w='100' h='100' path='solid.png'")));
  }
};

TEST_F(ActingDuringALoad, ADragAndARightClickOnAnEarlierPictureWork) {
  // Runs while gone.png's box is open.
  script::moveCursor(110, 110);
  script::pressButton(MouseButton::left);
  script::moveCursor(140, 120);
  script::releaseButton(MouseButton::left);
  script::click(150, 150, MouseButton::right);
  script::chooseMenuItem("entry");

  Outcome outcome = runAndExit(1);

  EXPECT_EQ(0, outcome.exitCode);
  EXPECT_EQ(std::vector<std::string>{pictureBox("gone.png")}, outcome.boxes);
  ASSERT_EQ(3u, outcome.pictures.size());
  EXPECT_EQ("130,110,230,210", describe(outcome.pictures[0].rect)) << "picture 0 dragged by (30, 10)";
  EXPECT_TRUE(outcome.pictures[2].visible) << "the load went on after the box";
  ASSERT_EQ(1u, desktop::shellRequests().size()) << "the launcher entry chosen from picture 0's menu";
  EXPECT_EQ("e", desktop::shellRequests()[0].file);
  EXPECT_EQ(desktop::ObjectCounts(), outcome.afterRun) << "something of ours left after Exit";
}

// A drag still held when a Reload chosen during the load takes its picture
// away: once the button is up, no picture may follow the mouse.
TEST_F(ActingDuringALoad, AReloadTakingADraggedPictureAwayEndsTheDrag) {
  script::moveCursor(110, 110);
  script::pressButton(MouseButton::left);
  chooseFromSystemMenu("Reload");
  script::pressMessageBoxButton(IDOK);  // the start-up load ends; the Reload runs
  script::pressMessageBoxButton(IDOK);  // the Reload's own box
  script::moveCursor(700, 700);
  script::releaseButton(MouseButton::left);  // over no window of ours
  script::moveCursor(310, 110);              // over picture 2, no button held
  script::moveCursor(350, 150);

  Outcome outcome = runAndExit(0);

  EXPECT_EQ(0, outcome.exitCode);
  EXPECT_EQ(2u, outcome.boxes.size()) << "one box for each load";
  ASSERT_EQ(3u, outcome.pictures.size());
  EXPECT_EQ("300,100,400,200", describe(outcome.pictures[2].rect)) << "a picture followed a released mouse";
  EXPECT_EQ("100,100,200,200", describe(outcome.pictures[0].rect));
  EXPECT_EQ(desktop::ObjectCounts(), outcome.afterRun) << "something of ours left after Exit";
}

}  // namespace
