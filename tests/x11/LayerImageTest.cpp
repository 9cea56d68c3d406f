// A layered window's content as the X server holds it after the host puts
// it: read back from a 32-bit pixmap, where no compositor or window
// manager has a say.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "hosts/gtk/LayerImage.h"

namespace {

TEST(LayerImage, TheContentIsPutFadedWithTransparencyWhereThereIsNone) {
  if (!getenv("TESSALINE_X11_TESTS")) {
    GTEST_SKIP() << "runs in scripts/test-linux-desktop, on a private X display";
  }
  const struct {
    const char* name;
    std::uint32_t pixel;  // premultiplied, every pixel of the content
    int contentSize;      // square; 0 for no content
    BYTE constantAlpha;
    std::uint32_t expectedCorner;  // at (0, 0)
    std::uint32_t expectedFar;     // at (1, 1) of a 2 x 2 window
  } cases[] = {
      {"opaque", 0xFF336699, 2, 255, 0xFF336699, 0xFF336699},
      {"faded to a half", 0xFF336699, 2, 128, 0x801A334D, 0x801A334D},
      {"no content", 0xFF336699, 0, 255, 0, 0},
      {"content smaller than the window", 0x80402010, 1, 255, 0x80402010, 0},
  };
  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(nullptr, display);
  Pixmap pixmap = XCreatePixmap(display, DefaultRootWindow(display), 2, 2, 32);
  GC gc = XCreateGC(display, pixmap, 0, nullptr);
  for (const auto& test : cases) {
    XSetForeground(display, gc, 0xFFFFFFFF);
    XFillRectangle(display, pixmap, gc, 0, 0, 2, 2);
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(test.contentSize * test.contentSize), test.pixel);
    platform::LayeredContentView content{pixels.data(), test.contentSize, test.contentSize, test.contentSize * 4,
                                         test.constantAlpha};
    platform::gtk::putLayered(display, pixmap, gc, 32, test.contentSize ? &content : nullptr, 2, 2,
                              platform::gtk::PutArea{0, 0, 2, 2});
    XImage* image = XGetImage(display, pixmap, 0, 0, 2, 2, AllPlanes, ZPixmap);
    ASSERT_NE(nullptr, image) << test.name;
    EXPECT_EQ(test.expectedCorner, XGetPixel(image, 0, 0)) << test.name << ": at (0, 0)";
    EXPECT_EQ(test.expectedFar, XGetPixel(image, 1, 1)) << test.name << ": at (1, 1)";
    XDestroyImage(image);
  }
  XFreeGC(display, gc);
  XFreePixmap(display, pixmap);
  XCloseDisplay(display);
}

}  // namespace
