// Picture windows through WinMain: made from system/image, composed into
// their layers, dragged, and taken down again, as a user sees them.
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "ProgramFixture.h"
#include "support/PictureFile.h"

namespace {

namespace desktop = platform::desktop;
namespace script = platform::script;
using platform::MouseButton;

class PictureWindows : public ProgramFixture {};

TEST_F(PictureWindows, EveryImageElementBecomesAPictureWindowInDocumentOrder) {
  testsupport::writeSolidPng("red.png", 4, 4, 0xFFFF0000);
  writeFile("config.xml", settings(image("x='010' y='0x10' w='30' h='20' path='red.png'") + "<launcher/>" +
                                   image("x='-40' y='5' w='50' h='60' path='red.png'") + "<other/>" +
                                   image("x='100' y='200' w='1' h='2' path='red.png'")));
  struct Seen {
    std::string className;
    HWND owner;
    DWORD exStyle;
    RECT rect;
    bool visible;
  };
  std::vector<Seen> seen;
  HWND ownerWindow = NULL;

  EXPECT_EQ(0, runThenExit([&] {
              ownerWindow = findOwnerWindow();
              for (int index = 0; index < 4; ++index) {
                HWND window = findPicture(index);
                if (window) {
                  seen.push_back(Seen{className(window), GetWindow(window, GW_OWNER),
                                      static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE)), rectOf(window),
                                      IsWindowVisible(window) != FALSE});
                }
              }
            }));

  struct Expected {
    const char* className;
    RECT rect;
  };
  const Expected expected[] = {{"ChildWindow0", {8, 16, 38, 36}},
                               {"ChildWindow1", {-40, 5, 10, 65}},
                               {"ChildWindow2", {100, 200, 101, 202}}};
  ASSERT_EQ(3u, seen.size());
  for (std::size_t index = 0; index < 3; ++index) {
    EXPECT_EQ(expected[index].className, seen[index].className);
    EXPECT_EQ(ownerWindow, seen[index].owner) << seen[index].className;
    EXPECT_EQ(static_cast<DWORD>(WS_EX_LAYERED | WS_EX_TOOLWINDOW), seen[index].exStyle & ~static_cast<DWORD>(WS_EX_TOPMOST))
        << seen[index].className;
    EXPECT_EQ(describe(expected[index].rect), describe(seen[index].rect)) << seen[index].className;
    EXPECT_TRUE(seen[index].visible) << seen[index].className;
  }
}

TEST_F(PictureWindows, WithoutImageElementsThereIsNoPictureWindow) {
  std::size_t windows = 0;
  EXPECT_EQ(0, runThenExit([&] { windows = desktop::windows().size(); }));
  EXPECT_EQ(1u, windows) << "only the owner window";
}

// The layer's pixels, premultiplied: the tint scales red, green and blue,
// the picture's own alpha stays, and AA becomes the window's constant alpha.
TEST_F(PictureWindows, TheLayerHoldsThePictureStretchedAndTinted) {
  struct Case {
    const char* name;
    std::uint32_t picturePixel;  // straight
    int pictureWidth;
    int pictureHeight;
    const char* color;
    std::uint32_t expectedPixel;  // premultiplied
    int expectedConstantAlpha;
  };
  const Case cases[] = {
      {"white tint shows the picture unchanged", 0xFF3366CC, 4, 4, "0xFFFFFFFF", 0xFF3366CC, 255},
      {"AA 128 halves the window's opacity", 0xFF3366CC, 4, 4, "0x80FFFFFF", 0xFF3366CC, 128},
      {"green only", 0xFF3366CC, 4, 4, "0xFF00FF00", 0xFF006600, 255},
      {"AA 0 is invisible but shown", 0xFF3366CC, 4, 4, "0x00FFFFFF", 0xFF3366CC, 0},
      {"the picture's own alpha stays", 0x80FF0000, 4, 4, "0xFFFFFFFF", 0x80800000, 255},
      {"100x50 stretched to 200x200", 0xFF00FF00, 100, 50, "0xFFFFFFFF", 0xFF00FF00, 255},
  };
  for (const Case& testCase : cases) {
    startAfresh();
    testsupport::writeSolidPng("picture.png", testCase.pictureWidth, testCase.pictureHeight, testCase.picturePixel);
    writeFile("config.xml", settings(image("x='0' y='0' w='200' h='200' color='" + std::string(testCase.color) +
                                           "' path='picture.png'")));
    desktop::LayeredContent layer;
    bool visible = false;

    EXPECT_EQ(0, runThenExit([&] {
                HWND picture = findPicture(0);
                visible = IsWindowVisible(picture) != FALSE;
                if (std::unique_ptr<desktop::LayeredContent> content = desktop::layeredContent(picture)) {
                  layer = *content;
                }
              }))
        << testCase.name;

    EXPECT_TRUE(visible) << testCase.name;
    ASSERT_EQ(200, layer.width) << testCase.name;
    ASSERT_EQ(200, layer.height) << testCase.name;
    EXPECT_EQ(testCase.expectedConstantAlpha, layer.constantAlpha) << testCase.name;
    // Inside the picture: a stretched picture fades out over the last half
    // of its last source pixel at the right and bottom edges, as GDI+ draws.
    for (std::size_t index : {std::size_t{0}, std::size_t{200 * 5 + 120}, std::size_t{200 * 100 + 100},
                              std::size_t{200 * 120 + 20}}) {
      std::uint32_t got = layer.pixels[index];
      for (int shift = 0; shift < 32; shift += 8) {
        int expectedChannel = static_cast<int>((testCase.expectedPixel >> shift) & 0xFF);
        int gotChannel = static_cast<int>((got >> shift) & 0xFF);
        EXPECT_LE(std::abs(expectedChannel - gotChannel), 1)
            << testCase.name << ": pixel " << index << " expected 0x" << std::hex << testCase.expectedPixel
            << ", got 0x" << got;
      }
    }
  }
}

TEST_F(PictureWindows, AMissingPictureIsReportedAndTheOthersStillAppear) {
  testsupport::writeSolidPng("good.png", 2, 2, 0xFF0000FF);
  writeFile("config.xml", settings(image("x='0' y='0' w='10' h='10' path='missing 100%.png'") +
                                   image("x='20' y='0' w='10' h='10' path='good.png'")));
  script::pressMessageBoxButton(IDOK);  // the start-up load
  bool missingVisible = true;
  bool goodVisible = false;
  HWND missingWindow = NULL;
  script::then([&] {
    missingWindow = findPicture(0);
    missingVisible = IsWindowVisible(missingWindow) != FALSE;
    goodVisible = IsWindowVisible(findPicture(1)) != FALSE;
  });
  chooseFromSystemMenu("Reload");
  script::pressMessageBoxButton(IDOK);  // the Reload shows it again

  EXPECT_EQ(0, runThenExit());

  ASSERT_EQ(2u, desktop::messageBoxes().size());
  const desktop::ShownMessageBox& box = desktop::messageBoxes()[0];
  EXPECT_EQ("missing 100%.pngの読み込みに失敗しました", box.text) << "the percent sign shows as written";
  EXPECT_EQ("load error", box.caption);
  EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION), box.type);
  EXPECT_EQ(missingWindow, box.owner) << "owned by the picture's own window";
  EXPECT_FALSE(missingVisible);
  EXPECT_TRUE(goodVisible);
  EXPECT_EQ(box.text, desktop::messageBoxes()[1].text);
}

// Two overlapping pictures; the lower one has a transparent left half.
class PictureInput : public PictureWindows {
 protected:
  void SetUp() override {
    PictureWindows::SetUp();
    std::vector<std::uint32_t> halfTransparent(20 * 20, 0xFF00FF00);
    for (int y = 0; y < 20; ++y) {
      std::fill_n(halfTransparent.begin() + y * 20, 10, 0x00000000u);
    }
    testsupport::writePng("half.png", 20, 20, halfTransparent);
    testsupport::writeSolidPng("solid.png", 20, 20, 0xFFFF0000);
    writeFile("config.xml", settings("<launcher><file name='entry' path='e'/></launcher>" +
                                     image("x='100' y='100' w='100' h='100' path='solid.png'") +
                                     image("x='150' y='100' w='100' h='100' path='half.png'")));
  }
};

TEST_F(PictureInput, ALeftDragMovesThePictureByTheCursorsTravelAndRaisesIt) {
  HWND solid = NULL;
  HWND half = NULL;
  RECT before = {};
  RECT after = {};
  std::vector<HWND> orderAfterPress;
  bool capturedDuringDrag = false;
  HWND captureAfterRelease = NULL;
  script::then([&] {
    solid = findPicture(0);
    half = findPicture(1);
    before = rectOf(solid);
  });
  script::moveCursor(120, 120);  // no button: nothing moves
  script::moveCursor(110, 110);
  script::pressButton(MouseButton::left);
  script::then([&] {
    orderAfterPress = desktop::windows();
    capturedDuringDrag = GetCapture() == solid;
  });
  script::moveCursor(125, 105);
  script::moveCursor(140, 100);
  script::releaseButton(MouseButton::left);
  script::then([&] { captureAfterRelease = GetCapture(); });
  script::moveCursor(300, 300);  // after the release: nothing moves

  EXPECT_EQ(0, runThenExit([&] { after = rectOf(solid); }));

  EXPECT_EQ(before.left + 30, after.left);
  EXPECT_EQ(before.top - 10, after.top);
  EXPECT_EQ(before.right - before.left, after.right - after.left) << "the size stays";
  EXPECT_EQ(before.bottom - before.top, after.bottom - after.top);
  EXPECT_TRUE(capturedDuringDrag);
  EXPECT_EQ(nullptr, captureAfterRelease) << "the release must give the mouse back while the program runs on";
  auto position = [&](HWND window) {
    return std::find(orderAfterPress.begin(), orderAfterPress.end(), window) - orderAfterPress.begin();
  };
  EXPECT_LT(position(solid), position(half)) << "the pressed picture is raised above the other";
}

TEST_F(PictureInput, ALostCaptureEndsTheDrag) {
  HWND solid = NULL;
  RECT before = {};
  RECT after = {};
  script::moveCursor(110, 110);
  script::pressButton(MouseButton::left);
  script::then([&] {
    solid = findPicture(0);
    before = rectOf(solid);
    // Another window of the program takes the mouse, as when the user
    // switches away in the middle of a drag.
    SetCapture(findOwnerWindow());
    ReleaseCapture();
  });
  script::releaseButton(MouseButton::left);
  script::moveCursor(150, 150);

  EXPECT_EQ(0, runThenExit([&] { after = rectOf(solid); }));

  EXPECT_EQ(before.left, after.left) << "a picture must not follow the mouse after its drag lost the capture";
  EXPECT_EQ(before.top, after.top);
}

TEST_F(PictureInput, AClickOnATransparentPixelReachesTheWindowBelow) {
  HWND solid = NULL;
  RECT before = {};
  RECT after = {};
  script::then([&] {
    solid = findPicture(0);
    before = rectOf(solid);
  });
  // (160, 150) lies on both pictures; the upper one is transparent there.
  script::moveCursor(160, 150);
  script::pressButton(MouseButton::left);
  script::moveCursor(170, 150);
  script::releaseButton(MouseButton::left);

  EXPECT_EQ(0, runThenExit([&] { after = rectOf(solid); }));

  EXPECT_EQ(before.left + 10, after.left) << "the lower picture took the drag";
}

TEST_F(PictureInput, ARightClickOpensTheLauncherMenuAtTheCursorAndCloseDoesNothing) {
  HWND solid = NULL;
  bool openAfterClose = false;
  script::then([&] {
    solid = findPicture(0);
    PostMessageA(solid, WM_CLOSE, 0, 0);  // as Alt+F4 on the active picture would
  });
  script::click(110, 130, MouseButton::right);
  script::chooseMenuItem("entry");

  EXPECT_EQ(0, runThenExit([&] { openAfterClose = IsWindow(solid) && IsWindowVisible(solid); }));

  EXPECT_TRUE(openAfterClose);
  ASSERT_FALSE(desktop::trackedMenus().empty());
  const desktop::TrackedMenu& menu = desktop::trackedMenus()[0];
  EXPECT_EQ("entry", menu.view.items.at(0).text);
  EXPECT_EQ(110, menu.view.point.x);
  EXPECT_EQ(130, menu.view.point.y);
  ASSERT_EQ(1u, desktop::shellRequests().size());
  EXPECT_EQ("e", desktop::shellRequests()[0].file);
}

TEST_F(PictureInput, ReloadPutsDraggedPicturesBackAndTopMostAndHideReachThem) {
  HWND solid = NULL;
  RECT afterReload = {};
  bool topmost = false;
  bool hiddenWithHide = false;
  script::moveCursor(110, 110);
  script::pressButton(MouseButton::left);
  script::moveCursor(160, 160);
  script::releaseButton(MouseButton::left);
  chooseFromSystemMenu("Reload");
  script::then([&] {
    solid = findPicture(0);
    afterReload = rectOf(solid);
  });
  chooseFromSystemMenu("TopMost");
  chooseFromSystemMenu("Hide");
  script::then([&] {
    topmost = (GetWindowLongA(solid, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    hiddenWithHide = !IsWindowVisible(solid) && !IsWindowVisible(findPicture(1));
  });

  EXPECT_EQ(0, runThenExit());

  EXPECT_EQ(100, afterReload.left);
  EXPECT_EQ(100, afterReload.top);
  EXPECT_TRUE(topmost) << "the pictures follow their owner into the topmost band";
  EXPECT_TRUE(hiddenWithHide) << "the pictures are hidden with their minimized owner";
}

TEST_F(PictureInput, ReloadAndExitTakeDownEveryPictureAndItsResources) {
  desktop::ObjectCounts whileRunning;
  desktop::ObjectCounts afterReloads;
  script::then([&] { whileRunning = desktop::objectCounts(); });
  for (int reload = 0; reload < 5; ++reload) {
    chooseFromSystemMenu("Reload");
  }
  script::then([&] { afterReloads = desktop::objectCounts(); });

  EXPECT_EQ(0, runThenExit());

  EXPECT_EQ(whileRunning, afterReloads) << "reloads leave the same objects";
  EXPECT_EQ(desktop::ObjectCounts(), desktop::objectCounts()) << "nothing of ours after Exit";
  EXPECT_FALSE(desktop::isClassRegistered("ChildWindow0", GetModuleHandleA(NULL)));
  EXPECT_FALSE(desktop::gdiplusRunning());
}

}  // namespace
