// What only the model shows of layered windows and GDI objects: the
// composed screen, clicks through transparent pixels, and the counts that
// show leaked DCs and bitmaps.
#include <windows.h>

#include <gtest/gtest.h>
#include <platform/desktop.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

namespace desktop = platform::desktop;
namespace script = platform::script;

std::vector<HWND> pressedWindows;

LRESULT CALLBACK pressRecordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_LBUTTONDOWN) {
    pressedWindows.push_back(window);
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

class LayeredWindowModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    desktop::reset();
    desktop::setEcho(false);
    pressedWindows.clear();
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = pressRecordingProcedure;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.lpszClassName = "LayeredModelWindow";
    ASSERT_NE(0, RegisterClassExA(&windowClass));
  }

  static HWND createWindow(int x, int y, int width, DWORD exStyle) {
    return CreateWindowExA(exStyle, "LayeredModelWindow", "window", WS_POPUP | WS_VISIBLE, x, y, width, 1, NULL, NULL,
                           GetModuleHandleA(NULL), NULL);
  }

  // Gives the window one row of premultiplied pixels through a DIB section,
  // as a program does.
  static void showRow(HWND window, const std::vector<std::uint32_t>& pixels, BYTE constantAlpha) {
    LONG width = static_cast<LONG>(pixels.size());
    BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), width, -1, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    void* bits = NULL;
    HBITMAP bitmap = CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    ASSERT_TRUE(bitmap != NULL);
    std::memcpy(bits, pixels.data(), pixels.size() * sizeof pixels[0]);
    HDC source = CreateCompatibleDC(NULL);
    SelectObject(source, bitmap);
    SIZE size = {width, 1};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, constantAlpha, AC_SRC_ALPHA};
    EXPECT_TRUE(UpdateLayeredWindow(window, NULL, NULL, &size, source, NULL, 0, &blend, ULW_ALPHA));
    DeleteDC(source);
    DeleteObject(bitmap);
  }
};

TEST_F(LayeredWindowModelTest, AClickWhereTheLayeredPixelIsFullyTransparentReachesTheWindowBelow) {
  HWND below = createWindow(0, 0, 10, 0);
  HWND layered = createWindow(0, 0, 3, WS_EX_LAYERED);
  // Transparent; alpha 1, which a constant alpha of 128 makes 0; opaque.
  const std::vector<std::uint32_t> row = {0x00000000, 0x01000001, 0xFF0000FF};
  struct Case {
    BYTE constantAlpha;
    int x;
    HWND expected;
  };
  const Case cases[] = {{255, 0, below}, {255, 1, layered}, {128, 1, below},
                        {128, 2, layered}, {0, 2, below},     {255, 5, below}};
  for (const Case& testCase : cases) {
    showRow(layered, row, testCase.constantAlpha);
    pressedWindows.clear();
    script::click(testCase.x, 0, platform::MouseButton::left);
    script::then([] { PostQuitMessage(0); });
    for (MSG message; GetMessageA(&message, NULL, 0, 0) > 0;) {
      DispatchMessageA(&message);
    }
    EXPECT_EQ(std::vector<HWND>{testCase.expected}, pressedWindows)
        << "click at x " << testCase.x << ", constant alpha " << static_cast<int>(testCase.constantAlpha)
        << "; the window below is " << below << ", the layered one " << layered;
  }
}

TEST_F(LayeredWindowModelTest, TheScreenBlendsLayeredContentOverWhatLiesBelowAndMovesItWithItsWindow) {
  createWindow(2, 0, 2, 0);  // a plain window: white
  HWND layered = createWindow(0, 0, 4, WS_EX_LAYERED);
  const std::uint32_t halfRed = 0x80800000;
  const std::uint32_t green = 0xFF00FF00;
  const std::uint32_t black = desktop::kScreenBackground;
  const std::uint32_t white = 0xFFFFFFFF;
  EXPECT_EQ((std::vector<std::uint32_t>{black, black, white, white}), desktop::screenPixels(0, 0, 4, 1))
      << "a layered window shows nothing before it has content";

  showRow(layered, {halfRed, green, halfRed, 0}, 255);
  EXPECT_EQ((std::vector<std::uint32_t>{0xFF800000, green, 0xFFFF7F7F, white}), desktop::screenPixels(0, 0, 4, 1));

  showRow(layered, {0xFFFF0000, 0, 0, 0}, 128);
  EXPECT_EQ((std::vector<std::uint32_t>{0xFF800000, black, white, white}), desktop::screenPixels(0, 0, 4, 1))
      << "opaque red at constant alpha 128";

  EXPECT_TRUE(MoveWindow(layered, 1, 0, 4, 1, TRUE));
  EXPECT_EQ((std::vector<std::uint32_t>{black, 0xFF800000, white, white}), desktop::screenPixels(0, 0, 4, 1))
      << "the content moves with its window";
  ShowWindow(layered, SW_MINIMIZE);
  EXPECT_EQ((std::vector<std::uint32_t>{black, black}), desktop::screenPixels(0, 0, 2, 1)) << "minimized";
  EXPECT_TRUE(desktop::screenPixels(0, 0, 0, 1).empty());
}

TEST_F(LayeredWindowModelTest, DeviceContextsAndBitmapsCountUntilTheyAreGone) {
  HWND window = createWindow(0, 0, 1, 0);
  HDC windowDC = GetDC(window);
  HDC memory = CreateCompatibleDC(windowDC);
  BITMAPINFO info = {};
  info.bmiHeader = BITMAPINFOHEADER{sizeof info.bmiHeader, 1, 1, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, NULL, NULL, 0);
  HGDIOBJ stock = SelectObject(memory, bitmap);
  EXPECT_EQ(2u, desktop::deviceContextCount());
  EXPECT_EQ(1u, desktop::bitmapCount());

  DeleteObject(bitmap);
  EXPECT_EQ(1u, desktop::bitmapCount()) << "deleted while selected: it waits to leave its DC";
  SelectObject(memory, stock);
  EXPECT_EQ(0u, desktop::bitmapCount());
  ReleaseDC(window, windowDC);
  DeleteDC(memory);
  EXPECT_EQ(0u, desktop::deviceContextCount());
}

}  // namespace
