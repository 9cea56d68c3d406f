// One image element with missing attributes, numbers written every way
// strtoul reads (and misreads) them, and sizes that cannot be shown.
#include <string>
#include <vector>

#include "BadInputFixture.h"
#include "support/PictureFile.h"

namespace {

using namespace badinput;
namespace desktop = platform::desktop;

const int kNoLayer = -1;

struct AttributeCase {
  const char* name;
  const char* attributes;
  bool visible;
  RECT rect;
  int constantAlpha;     // of the layer; kNoLayer when it has no content
  std::string debugLine;  // "" for none
  std::string box;        // "" for none
};

std::string notShown(int width, int height) {
  return "ChildWindow0: a picture of " + std::to_string(width) + " x " + std::to_string(height) +
         " pixels is not shown\n";
}

std::string noSurface(int width, int height) {
  return "ChildWindow0: no surface of " + std::to_string(width) + " x " + std::to_string(height) +
         " pixels could be made\n";
}

// p.png is 7 by 9 pixels.
const AttributeCase kCases[] = {
    {"NoX", "y='4' w='5' h='6' path='p.png'", true, {0, 4, 5, 10}, 255, "", ""},
    {"NoY", "x='3' w='5' h='6' path='p.png'", true, {3, 0, 8, 6}, 255, "", ""},
    {"NoW", "x='3' y='4' h='6' path='p.png'", true, {3, 4, 10, 10}, 255, "", ""},
    {"NoH", "x='3' y='4' w='5' path='p.png'", true, {3, 4, 8, 13}, 255, "", ""},
    {"NoWNorH", "x='3' y='4' path='p.png'", true, {3, 4, 10, 13}, 255, "", ""},
    {"NoColor", "w='5' h='6' path='p.png'", true, {0, 0, 5, 6}, 255, "", ""},
    {"NoPath", "x='1' y='1' w='5' h='5'", false, {1, 1, 6, 6}, kNoLayer, "", pictureBox("")},
    {"Overflow", "x='99999999999' y='4294967296' w='5' h='6' path='p.png'", true, {-1, -1, 4, 5}, 255, "", ""},
    {"OverflowWithMinus", "x='-99999999999' w='5' h='6' path='p.png'", true, {-1, 0, 4, 6}, 255, "", ""},
    {"Signs", "x='+7' y='-40' w='5' h='6' path='p.png'", true, {7, -40, 12, -34}, 255, "", ""},
    {"TrailingJunk", "x='12abc' y=' 3' w='5px' h='6 ' path='p.png'", true, {12, 3, 17, 9}, 255, "", ""},
    {"OctalAndHexadecimal", "x='010' y='0X1f' w='0x5' h='06' path='p.png'", true, {8, 31, 13, 37}, 255, "", ""},
    {"NoOctalDigit", "w='5' h='08' path='p.png'", false, {0, 0, 5, 0}, kNoLayer, notShown(5, 0), ""},
    {"HexadecimalPrefixOnly", "x='0x' w='5' h='6' path='p.png'", true, {0, 0, 5, 6}, 255, "", ""},
    {"EmptyPosition", "x='' y='' w='5' h='6' path='p.png'", true, {0, 0, 5, 6}, 255, "", ""},
    {"EmptyWidth", "w='' h='6' path='p.png'", false, {0, 0, 0, 6}, kNoLayer, notShown(0, 6), ""},
    {"ZeroWidth", "w='0' h='6' path='p.png'", false, {0, 0, 0, 6}, kNoLayer, notShown(0, 6), ""},
    {"NegativeHeight", "w='5' h='-5' path='p.png'", false, {0, 0, 5, 0}, kNoLayer, notShown(5, -5), ""},
    {"WidthOverflow", "w='4294967296' h='6' path='p.png'", false, {0, 0, 0, 6}, kNoLayer, notShown(-1, 6), ""},
    // -2147483648 is also CW_USEDEFAULT, which gives a pop-up window no
    // size (as a width) or the top left corner (as x).
    {"MostNegativeWidth", "w='2147483648' h='6' path='p.png'", false, {0, 0, 0, 0}, kNoLayer,
     notShown(-2147483647 - 1, 6), ""},
    {"MostNegativeX", "x='0x80000000' y='50' w='5' h='6' path='p.png'", true, {0, 0, 5, 6}, 255, "", ""},
    {"HugeSize", "w='100000' h='100000' path='p.png'", true, {0, 0, 100000, 100000}, kNoLayer,
     noSurface(100000, 100000), ""},
    {"EdgeBeyondTheCoordinateRange", "x='1' w='0x7FFFFFFF' h='6' path='p.png'", true, {1, 0, 2147483647, 6},
     kNoLayer, noSurface(2147483646, 6), ""},
    {"EmptyColor", "w='5' h='6' color='' path='p.png'", true, {0, 0, 5, 6}, 0, "", ""},
    {"ColorByName", "w='5' h='6' color='red' path='p.png'", true, {0, 0, 5, 6}, 0, "", ""},
    {"ColorMinusOne", "w='5' h='6' color='-1' path='p.png'", true, {0, 0, 5, 6}, 255, "", ""},
    {"ColorOverflow", "w='5' h='6' color='0x1FFFFFFFF' path='p.png'", true, {0, 0, 5, 6}, 255, "", ""},
};

class BadAttribute : public BadInputFixture, public ::testing::WithParamInterface<AttributeCase> {
 protected:
  void SetUp() override {
    BadInputFixture::SetUp();
    readLayers_ = true;
  }
};

TEST_P(BadAttribute, ReactsAsTheReadmeSays) {
  const AttributeCase& testCase = GetParam();
  testsupport::writeSolidPng("p.png", 7, 9, 0xFFFFFFFF);
  writeFile("config.xml", settings(image(testCase.attributes)));
  const std::vector<std::string> expectedBoxes = testCase.box.empty() ? std::vector<std::string>{}
                                                                      : std::vector<std::string>{testCase.box};
  const std::vector<std::string> expectedLines = testCase.debugLine.empty()
                                                     ? std::vector<std::string>{}
                                                     : std::vector<std::string>{testCase.debugLine};

  Outcome outcome = runAndExit(expectedBoxes.size());

  EXPECT_EQ(0, outcome.exitCode) << testCase.name;
  ASSERT_EQ(1u, outcome.pictures.size()) << testCase.name << ": expected one picture window, got "
                                         << outcome.pictures.size();
  const PictureSeen& picture = outcome.pictures[0];
  EXPECT_EQ(testCase.visible, picture.visible) << testCase.name << ": visible";
  EXPECT_EQ(describe(testCase.rect), describe(picture.rect)) << testCase.name << ": window rectangle";
  EXPECT_EQ(testCase.constantAlpha, picture.constantAlpha) << testCase.name << ": the layer's constant alpha";
  EXPECT_EQ(expectedLines, outcome.debugLines) << testCase.name << ": debugger lines";
  EXPECT_EQ(expectedBoxes, outcome.boxes) << testCase.name << ": message boxes";
  EXPECT_EQ(desktop::ObjectCounts(), outcome.afterRun) << testCase.name << ": something of ours left after Exit";
}

INSTANTIATE_TEST_SUITE_P(Images, BadAttribute, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<AttributeCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
