// The hidden owner window as another program sees it.
#include "TessalineTest.h"

namespace {

class OwnerWindowTest : public TessalineTest {};

TEST_F(OwnerWindowTest, IsAHiddenEmptyLayeredToolWindowWithoutOwner) {
  writeConfig();
  ProgramProcess& program = startProgram();
  HWND owner = waitForOwnerWindow(program);
  ASSERT_NE(owner, nullptr) << "no \"ParentWindow\"/\"Tessaline\" window: " << describe(program);

  EXPECT_EQ(desktop::className(owner), "ParentWindow");
  EXPECT_EQ(desktop::windowText(owner), "Tessaline");
  EXPECT_FALSE(IsWindowVisible(owner)) << "the owner window is never shown";
  RECT rectangle = {};
  GetWindowRect(owner, &rectangle);
  EXPECT_EQ(rectangle.right - rectangle.left, 0) << "width";
  EXPECT_EQ(rectangle.bottom - rectangle.top, 0) << "height";

  LONG extendedStyle = GetWindowLongA(owner, GWL_EXSTYLE);
  EXPECT_EQ(extendedStyle, WS_EX_LAYERED | WS_EX_TOOLWINDOW)
      << "expected WS_EX_LAYERED|WS_EX_TOOLWINDOW (0x80080), got 0x" << std::hex << extendedStyle;
  LONG style = GetWindowLongA(owner, GWL_STYLE);
  EXPECT_TRUE(style & WS_POPUP) << "style 0x" << std::hex << style << " lacks WS_POPUP";
  EXPECT_FALSE(style & (WS_VISIBLE | WS_CAPTION)) << "style 0x" << std::hex << style;
  EXPECT_EQ(GetWindow(owner, GW_OWNER), nullptr) << "the owner window has no owner itself";
  EXPECT_EQ(desktop::findMessageBox(program.id()), nullptr) << describe(program);
}

TEST_F(OwnerWindowTest, CommandLineArgumentsAreIgnored) {
  writeConfig();
  ProgramProcess& program = startProgram("--help /? config.xml");
  HWND owner = waitForOwnerWindow(program);
  ASSERT_NE(owner, nullptr) << "with arguments: " << describe(program);
  EXPECT_TRUE(program.running()) << describe(program);
}

}  // namespace
