// The extended style a new window gets: WS_EX_WINDOWEDGE follows the frame
// the window ends up with, whatever the caller asked.
#include "Win32Test.h"

namespace conformance {
namespace {

class ExtendedStyleTest : public Win32Test {};

TEST_F(ExtendedStyleTest, WindowEdgeFollowsTheFrame) {
  ASSERT_NE(0, registerClass("ConformanceExtendedStyle"));
  struct Case {
    const char* name;
    DWORD style;
    DWORD exStyle;
    DWORD expected;
  };
  const Case cases[] = {
      {"WS_OVERLAPPED gets a caption, so an edge", WS_OVERLAPPED, 0, WS_EX_WINDOWEDGE},
      {"WS_POPUP has no frame", WS_POPUP, 0, 0},
      {"WS_POPUP asking for an edge", WS_POPUP, WS_EX_WINDOWEDGE, 0},
      {"WS_POPUP|WS_THICKFRAME", WS_POPUP | WS_THICKFRAME, 0, WS_EX_WINDOWEDGE},
      {"layered tool WS_POPUP", WS_POPUP, WS_EX_LAYERED | WS_EX_TOOLWINDOW, WS_EX_LAYERED | WS_EX_TOOLWINDOW},
  };
  for (const Case& testCase : cases) {
    HWND window = createWindow("ConformanceExtendedStyle", "styled", testCase.style, testCase.exStyle);
    ASSERT_TRUE(window != NULL) << testCase.name;
    EXPECT_EQ(testCase.expected, static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE)))
        << testCase.name << ": expected 0x" << std::hex << testCase.expected << ", got 0x"
        << static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE));
  }
}

}  // namespace
}  // namespace conformance
