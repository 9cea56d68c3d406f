// The layer's picture work on its own surfaces, without a DC: decoding,
// the drawing cases that the conformance tests check through a DC, the two
// ways colours are adjusted, and the count of GDI+ objects.
#include <gdiplus.h>
#include <platform/desktop.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "DrawingCases.h"
#include "gdiplus/PictureDecoding.h"
#include "gdiplus/PictureDrawing.h"
#include "core/StraightColor.h"
#include "support/PictureFile.h"
#include "support/TemporaryDirectory.h"

namespace {

using namespace Gdiplus;
using platform::ColorAdjustment;
using platform::Surface;

class PictureTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::desktop::reset(); }

  std::unique_ptr<Surface> decoded(const std::vector<unsigned char>& bytes, Status expected = Ok) {
    conformance::writeFile("picture", bytes);
    std::unique_ptr<Surface> picture;
    EXPECT_EQ(expected, platform::decodePictureFile("picture", picture));
    return picture;
  }

  testsupport::TemporaryDirectory directory_{"pictures"};
};

// A surface of premultiplied pixels, one row.
std::unique_ptr<Surface> rowOfPixels(const std::vector<std::uint32_t>& pixels) {
  std::unique_ptr<Surface> surface = Surface::create(static_cast<int>(pixels.size()), 1);
  std::copy(pixels.begin(), pixels.end(), static_cast<std::uint32_t*>(surface->bits()));
  return surface;
}

ColorAdjustment adjustment(std::initializer_list<std::tuple<int, int, REAL>> changes,
                           ColorMatrixFlags flags = ColorMatrixFlagsDefault) {
  ColorAdjustment result = {{}, {}, flags};
  for (int index = 0; index < 5; ++index) {
    result.matrix.m[index][index] = 1;
  }
  for (const auto& [row, column, value] : changes) {
    result.matrix.m[row][column] = value;
  }
  result.grayMatrix = result.matrix;
  return result;
}

TEST_F(PictureTest, PngPixelsArePremultiplied) {
  std::unique_ptr<Surface> rgba = decoded(conformance::kTwoByTwoPng);
  std::unique_ptr<Surface> rgb = decoded(conformance::kThreeByTwoRgbPng);
  ASSERT_TRUE(rgba && rgb);
  const std::uint32_t withAlpha[] = {0xFFFF0000, 0xFF0000FF, 0x80008000, 0x00000000};
  const std::uint32_t withoutAlpha[] = {0xFFFF0000, 0xFF0000FF, 0xFF00FF00, 0xFFFFFFFF, 0xFF000000, 0xFF808080};
  for (int index = 0; index < 6; ++index) {
    EXPECT_EQ(withoutAlpha[index], rgb->pixel(index % 3, index / 3)) << "RGB pixel " << index;
    if (index < 4) {
      EXPECT_EQ(withAlpha[index], rgba->pixel(index % 2, index / 2)) << "RGBA pixel " << index;
    }
  }
  const std::string xpm = "/* XPM */\nstatic char* p[] = {\"1 1 1 1\", \"a c #FF0000\", \"a\"};\n";
  EXPECT_FALSE(decoded(std::vector<unsigned char>(xpm.begin(), xpm.end()), InvalidParameter))
      << "gdk-pixbuf reads XPM, GDI+ does not";
}

// Every channel value against every alpha, on rows of 255 pixels, so that
// the pixels premultiplied eight, four and one at a time all count:
// each channel is channel × alpha / 255, rounded to the nearest.
TEST_F(PictureTest, EveryAlphaPremultipliesEveryChannelRounded) {
  std::vector<std::uint32_t> straight;
  for (std::uint32_t alpha = 0; alpha < 256; ++alpha) {
    for (std::uint32_t channel = 0; channel < 255; ++channel) {
      straight.push_back(alpha << 24 | channel << 16 | (255 - channel) << 8 | (channel * 7 + alpha) % 256);
    }
  }
  testsupport::writePng("wide.png", 255, 256, straight);
  std::unique_ptr<Surface> picture;
  ASSERT_EQ(Ok, platform::decodePictureFile("wide.png", picture));
  for (std::size_t index = 0; index < straight.size(); ++index) {
    std::uint32_t pixel = straight[index];
    std::uint32_t alpha = pixel >> 24;
    auto rounded = [alpha](std::uint32_t channel) { return (channel * alpha + 127) / 255; };
    std::uint32_t expected = alpha << 24 | rounded(pixel >> 16 & 0xFF) << 16 | rounded(pixel >> 8 & 0xFF) << 8 |
                             rounded(pixel & 0xFF);
    int x = static_cast<int>(index % 255);
    int y = static_cast<int>(index / 255);
    ASSERT_EQ(expected, picture->pixel(x, y)) << std::hex << "straight " << pixel << ": expected " << expected
                                              << ", got " << picture->pixel(x, y) << std::dec << " at (" << x << ", "
                                              << y << ")";
  }
}

// A header of a few bytes may give any size. One above the largest surface
// (16384 x 16384) is refused before its pixels are decoded, whatever follows
// the header, instead of the decoder filling gigabytes first.
TEST_F(PictureTest, APictureLargerThanAnySurfaceIsOutOfMemoryFromItsHeader) {
  // 20000 x 20000 pixels each, and no pixel data (the PNG's only IDAT chunk is empty).
  const std::vector<unsigned char> png = {
      0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44, 0x52, 0x00, 0x00, 0x4E,
      0x20, 0x00, 0x00, 0x4E, 0x20, 0x08, 0x06, 0x00, 0x00, 0x00, 0xE3, 0x70, 0x46, 0x39, 0x00, 0x00, 0x00, 0x00, 0x49,
      0x44, 0x41, 0x54, 0x35, 0xAF, 0x06, 0x1E, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};
  const std::vector<unsigned char> gif = {'G',  'I',  'F',  '8',  '9',  'a',  0x20, 0x4E, 0x20, 0x4E, 0x00, 0x00,
                                          0x00, 0x2C, 0x00, 0x00, 0x00, 0x00, 0x20, 0x4E, 0x20, 0x4E, 0x00, 0x3B};
  std::vector<unsigned char> bmp = {'B', 'M', 54, 0,    0,    0, 0, 0,    0,    0, 54, 0, 0, 0,  40,
                                    0,   0,   0,  0x20, 0x4E, 0, 0, 0x20, 0x4E, 0, 0,  1, 0, 24, 0};
  bmp.resize(54, 0);
  std::vector<unsigned char> widestPng = png;
  std::fill(widestPng.begin() + 16, widestPng.begin() + 24, 0xFF);
  const std::pair<const char*, const std::vector<unsigned char>*> cases[] = {
      {"PNG header of 20000 x 20000 pixels", &png},
      {"GIF header of 20000 x 20000 pixels", &gif},
      {"BMP header of 20000 x 20000 pixels", &bmp},
      {"PNG header of 4294967295 x 4294967295 pixels", &widestPng}};
  for (const auto& [format, bytes] : cases) {
    SCOPED_TRACE(format);
    EXPECT_FALSE(decoded(*bytes, OutOfMemory));
  }
}

TEST_F(PictureTest, DrawsAsGdiplusThroughADC) {
  std::unique_ptr<Surface> picture = decoded(conformance::kTwoByTwoPng);
  ASSERT_TRUE(picture);
  for (const conformance::DrawingCase& each : conformance::drawingCases()) {
    std::unique_ptr<Surface> destination = Surface::create(conformance::kDrawingSize, conformance::kDrawingSize);
    auto* pixels = static_cast<std::uint32_t*>(destination->bits());
    std::fill(pixels, pixels + conformance::kDrawingSize * conformance::kDrawingSize, each.background);
    ColorAdjustment tint = {conformance::tintMatrix(each), {}, ColorMatrixFlagsDefault};
    EXPECT_EQ(Ok, platform::drawPicture(*destination, each.destination, *picture, each.source,
                                        conformance::isTinted(each) ? &tint : nullptr));
    for (const conformance::Probe& probe : each.probes) {
      EXPECT_EQ("", conformance::probeFailure(each, probe, destination->pixel(probe.x, probe.y)));
    }
  }
}

TEST_F(PictureTest, ChannelTintOnPremultipliedPixelsAgreesWithTheMatrixOnStraightColours) {
  std::vector<std::uint32_t> pixels;
  for (std::uint32_t alpha : {0u, 1u, 64u, 128u, 200u, 255u}) {
    for (std::uint32_t color : {0xFF8040u, 0x123456u, 0xFFFFFFu, 0x000000u}) {
      pixels.push_back(platform::premultipliedPixel({static_cast<std::uint8_t>(color >> 16),
                                                     static_cast<std::uint8_t>(color >> 8),
                                                     static_cast<std::uint8_t>(color), static_cast<std::uint8_t>(alpha)}));
    }
  }
  std::unique_ptr<Surface> picture = rowOfPixels(pixels);
  Rect all(0, 0, picture->width(), 1);
  for (const auto& [red, green, blue] : {std::make_tuple(0.5f, 0.25f, 1.0f), std::make_tuple(0.0f, 0.0f, 0.0f),
                                         std::make_tuple(200 / 255.0f, 100 / 255.0f, 50 / 255.0f)}) {
    ColorAdjustment tint = adjustment({{0, 0, red}, {1, 1, green}, {2, 2, blue}});
    ASSERT_TRUE(platform::isChannelTint(tint));
    std::unique_ptr<Surface> fast = Surface::create(picture->width(), 1);
    ASSERT_EQ(Ok, platform::drawPicture(*fast, all, *picture, all, &tint));
    std::unique_ptr<Surface> general = platform::matrixAdjustedCopy(*picture, all, tint);
    for (int x = 0; x < picture->width(); ++x) {
      conformance::DrawingCase context = {"tint", 0, {}, {}, {red, green, blue}, {}};
      EXPECT_EQ("", conformance::probeFailure(context, {x, 0, general->pixel(x, 0)}, fast->pixel(x, 0)))
          << "the channel tint against the matrix, from " << std::hex << pixels[static_cast<std::size_t>(x)];
      EXPECT_EQ(pixels[static_cast<std::size_t>(x)] >> 24, fast->pixel(x, 0) >> 24) << "alpha is kept";
    }
  }
}

// A reduced picture is tinted after scaling, straight into a clear
// destination or apart and then composed over one that is not; either way
// it matches the general matrix applied before scaling.
TEST_F(PictureTest, ReducedTintAgreesWithTheMatrixOverAnyBackground) {
  std::vector<std::uint32_t> straight;
  for (std::uint32_t index = 0; index < 64; ++index) {
    straight.push_back((index * 4) << 24 | (index * 37 % 256) << 16 | (255 - index * 3) << 8 | (index * 11 % 256));
  }
  std::unique_ptr<Surface> picture = Surface::create(8, 8);
  std::transform(straight.begin(), straight.end(), static_cast<std::uint32_t*>(picture->bits()), [](std::uint32_t p) {
    return platform::premultipliedPixel({static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8),
                                         static_cast<std::uint8_t>(p), static_cast<std::uint8_t>(p >> 24)});
  });
  ColorAdjustment tint = adjustment({{0, 0, 0.25f}, {1, 1, 1.0f}, {2, 2, 0.5f}});
  std::unique_ptr<Surface> adjusted = platform::matrixAdjustedCopy(*picture, Rect(0, 0, 8, 8), tint);
  for (std::uint32_t background : {0x00000000u, 0xFF204060u, 0x80400000u}) {
    std::unique_ptr<Surface> tinted = Surface::create(3, 3);
    std::unique_ptr<Surface> expected = Surface::create(3, 3);
    for (Surface* each : {tinted.get(), expected.get()}) {
      std::fill_n(static_cast<std::uint32_t*>(each->bits()), 9, background);
    }
    ASSERT_EQ(Ok, platform::drawPicture(*tinted, Rect(0, 0, 3, 3), *picture, Rect(0, 0, 8, 8), &tint));
    ASSERT_EQ(Ok, platform::drawPicture(*expected, Rect(0, 0, 3, 3), *adjusted, Rect(0, 0, 8, 8), nullptr));
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < 3; ++x) {
        conformance::DrawingCase context = {"reduced tint", background, {}, {}, {0.25f, 1, 0.5f}, {}};
        EXPECT_EQ("", conformance::probeFailure(context, {x, y, expected->pixel(x, y)}, tinted->pixel(x, y)))
            << "over background " << std::hex << background;
      }
    }
  }
}

TEST_F(PictureTest, OtherMatricesWorkOnStraightColoursAndClamp) {
  struct Case {
    const char* what;
    ColorAdjustment adjustment;
    std::uint32_t pixel;
    std::uint32_t expected;
  };
  const Case cases[] = {
      {"red and blue swapped", adjustment({{0, 0, 0}, {0, 2, 1}, {2, 2, 0}, {2, 0, 1}}), 0xFFFF8000, 0xFF0080FF},
      {"alpha halved", adjustment({{3, 3, 0.5f}}), 0xFFFF0000, 0x80800000},
      {"half red added", adjustment({{4, 0, 0.5f}}), 0xFF000000, 0xFF800000},
      {"red doubled, clamped before premultiplying", adjustment({{0, 0, 2}}), 0x80400000, 0x80800000},
      {"red negated, clamped to 0", adjustment({{0, 0, -1}}), 0xFFFF00FF, 0xFF0000FF},
      {"grays skipped", adjustment({{0, 0, 0}}, ColorMatrixFlagsSkipGrays), 0xFF808080, 0xFF808080},
      {"colours not skipped", adjustment({{0, 0, 0}}, ColorMatrixFlagsSkipGrays), 0xFF808000, 0xFF008000},
  };
  for (const Case& each : cases) {
    EXPECT_FALSE(platform::isChannelTint(each.adjustment)) << each.what << " is no channel tint";
    std::unique_ptr<Surface> copy = platform::matrixAdjustedCopy(*rowOfPixels({each.pixel}), Rect(0, 0, 1, 1),
                                                                 each.adjustment);
    EXPECT_EQ(each.expected, copy->pixel(0, 0)) << each.what << std::hex << ": expected " << each.expected
                                                << ", got " << copy->pixel(0, 0);
  }
}

TEST_F(PictureTest, ObjectsCountUntilDisposedWhileGdiplusRuns) {
  GdiplusStartupInput input;
  ULONG_PTR token = 0;
  ASSERT_EQ(Ok, GdiplusStartup(&token, &input, NULL));
  conformance::writeFile("picture.png", conformance::kTwoByTwoPng);
  GpBitmap* bitmap = NULL;
  GpImageAttributes* attributes = NULL;
  ASSERT_EQ(Ok, DllExports::GdipCreateBitmapFromFile(u"picture.png", &bitmap));
  ASSERT_EQ(Ok, DllExports::GdipCreateImageAttributes(&attributes));
  auto counts = [] {
    platform::desktop::GdiplusObjectCounts live = platform::desktop::liveGdiplusObjects();
    return std::make_tuple(live.images, live.graphics, live.imageAttributes);
  };
  EXPECT_EQ(std::make_tuple(1u, 0u, 1u), counts()) << "images, graphics, image attributes";
  EXPECT_EQ(Ok, DllExports::GdipDisposeImageAttributes(attributes));
  GdiplusShutdown(token);
  EXPECT_EQ(GdiplusNotInitialized, DllExports::GdipDisposeImage(bitmap));
  EXPECT_EQ(std::make_tuple(1u, 0u, 0u), counts()) << "a picture disposed of after the shut-down stays";
  platform::desktop::reset();
  EXPECT_EQ(std::make_tuple(0u, 0u, 0u), counts()) << "after a reset";
}

}  // namespace
