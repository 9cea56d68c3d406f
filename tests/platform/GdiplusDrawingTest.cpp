// Drawing a picture with GDI+ into a 32-bit DIB section through a memory
// DC, as the program makes its windows' content.
#include "DrawingCases.h"
#include "GdiplusFixture.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace conformance {
namespace {

using namespace Gdiplus;

class GdiplusDrawingTest : public GdiplusFixture {
 protected:
  void SetUp() override {
    GdiplusFixture::SetUp();
    BITMAPINFO format = {};
    format.bmiHeader = {sizeof format.bmiHeader, kDrawingSize, -kDrawingSize, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    dc_ = CreateCompatibleDC(NULL);
    void* bits = NULL;
    bitmap_ = CreateDIBSection(dc_, &format, DIB_RGB_COLORS, &bits, NULL, 0);
    ASSERT_TRUE(dc_ != NULL && bitmap_ != NULL && bits != NULL);
    pixels_ = static_cast<std::uint32_t*>(bits);
    previous_ = SelectObject(dc_, bitmap_);
  }

  void TearDown() override {
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
    GdiplusFixture::TearDown();
  }

  HDC dc_ = NULL;
  HBITMAP bitmap_ = NULL;
  HGDIOBJ previous_ = NULL;
  std::uint32_t* pixels_ = nullptr;  // top row first
};

TEST_F(GdiplusDrawingTest, DrawsScaledAndTintedOverTheDib) {
  Bitmap bitmap(pathOf("picture.png", &kTwoByTwoPng).c_str());
  ASSERT_EQ(Ok, bitmap.GetLastStatus());
  for (const DrawingCase& each : drawingCases()) {
    std::fill(pixels_, pixels_ + kDrawingSize * kDrawingSize, each.background);
    ImageAttributes attributes;
    const ColorMatrix tint = tintMatrix(each);
    ASSERT_EQ(Ok, attributes.SetColorMatrix(&tint)) << each.what;
    Graphics graphics(dc_);
    ASSERT_EQ(Ok, graphics.GetLastStatus()) << each.what;
    const Rect& source = each.source;
    EXPECT_EQ(Ok, graphics.DrawImage(&bitmap, each.destination, source.X, source.Y, source.Width, source.Height,
                                     UnitPixel, isTinted(each) ? &attributes : NULL))
        << each.what;
    for (const Probe& probe : each.probes) {
      EXPECT_EQ("", probeFailure(each, probe, pixels_[probe.y * kDrawingSize + probe.x]));
    }
  }
}

// The picture is the file as it was when loaded, however often it is
// drawn: Windows keeps the file locked, the layer keeps its bytes.
TEST_F(GdiplusDrawingTest, APictureDrawnAgainIsTheFileAsItWasLoaded) {
  Bitmap bitmap(pathOf("picture.png", &kTwoByTwoPng).c_str());
  ASSERT_EQ(Ok, bitmap.GetLastStatus());
  auto drawn = [&] {
    std::fill(pixels_, pixels_ + kDrawingSize * kDrawingSize, 0u);
    Graphics graphics(dc_);
    EXPECT_EQ(Ok, graphics.DrawImage(&bitmap, Rect(0, 0, kDrawingSize, kDrawingSize), 0, 0, 2, 2, UnitPixel));
    return std::vector<std::uint32_t>(pixels_, pixels_ + kDrawingSize * kDrawingSize);
  };
  const std::vector<std::uint32_t> first = drawn();
  try {
    pathOf("picture.png", &kThreeByTwoRgbPng);
  } catch (const std::runtime_error&) {
    // locked
  }
  for (const char* draw : {"second", "third"}) {
    EXPECT_TRUE(drawn() == first) << "the " << draw << " draw differs from the first";
  }
}

TEST_F(GdiplusDrawingTest, GraphicsLiveUntilDeleted) {
  GpGraphics* graphics = NULL;
  ASSERT_EQ(Ok, DllExports::GdipCreateFromHDC(dc_, &graphics));
#ifndef _WIN32
  EXPECT_EQ(1u, platform::desktop::liveGdiplusObjects().graphics);
#endif
  EXPECT_EQ(Ok, DllExports::GdipDeleteGraphics(graphics));
#ifndef _WIN32
  EXPECT_EQ(0u, platform::desktop::liveGdiplusObjects().graphics);
#endif
}

}  // namespace
}  // namespace conformance
