// Handles name one kind of object each: a window handle is no icon, an icon
// handle no window, and a call given the wrong kind fails as for a handle
// that names nothing.
#include "Win32Test.h"

namespace conformance {
namespace {

class HandleKindTest : public Win32Test {};

TEST_F(HandleKindTest, AHandleOfAnotherKindIsRefusedLikeNoHandleAtAll) {
  ASSERT_NE(0, registerClass("ConformanceHandleKinds"));
  HWND window = createWindow("ConformanceHandleKinds", "kinds");
  HICON icon = static_cast<HICON>(LoadImageA(NULL, IDI_APPLICATION, IMAGE_ICON, 0, 0, LR_SHARED));
  ASSERT_TRUE(window != NULL && icon != NULL);
  HWND iconAsWindow = reinterpret_cast<HWND>(icon);

  EXPECT_FALSE(IsWindow(iconAsWindow));
  SetLastError(0);
  EXPECT_FALSE(DestroyWindow(iconAsWindow));
  EXPECT_LAST_ERROR_OR_ON_WINE(ERROR_INVALID_WINDOW_HANDLE, ERROR_ACCESS_DENIED,
                               "DestroyWindow of a handle that is no window sets ERROR_ACCESS_DENIED");
  SetLastError(0);
  EXPECT_FALSE(PostMessageA(iconAsWindow, WM_USER, 0, 0));
  EXPECT_LAST_ERROR(ERROR_INVALID_WINDOW_HANDLE);
  SetLastError(0);
  EXPECT_FALSE(DestroyIcon(reinterpret_cast<HICON>(window)));
  EXPECT_LAST_ERROR_OR_ON_WINE(ERROR_INVALID_CURSOR_HANDLE, 0, "DestroyIcon of a handle that is no icon sets no error");
  EXPECT_TRUE(IsWindow(window)) << "DestroyIcon must leave a window alone";
}

}  // namespace
}  // namespace conformance
