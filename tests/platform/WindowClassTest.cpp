// Class registration: RegisterClassExA, UnregisterClassA, GetClassInfoExA.
#include "Win32Test.h"

namespace conformance {
namespace {

class WindowClassTest : public Win32Test {};

TEST_F(WindowClassTest, RegisteringANameTwiceFailsWhateverTheCase) {
  ASSERT_NE(0, registerClass("ConformanceTwice"));

  SetLastError(0);
  EXPECT_EQ(0, registerClass("conformancetwice"));
  EXPECT_LAST_ERROR(ERROR_CLASS_ALREADY_EXISTS);
}

TEST_F(WindowClassTest, RegisteringWithAWrongRecordSizeFails) {
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof windowClass - 4;
  windowClass.lpfnWndProc = recordingProcedure;
  windowClass.hInstance = module();
  windowClass.lpszClassName = "ConformanceBadSize";

  SetLastError(0);
  EXPECT_EQ(0, RegisterClassExA(&windowClass));
  EXPECT_LAST_ERROR(ERROR_INVALID_PARAMETER);
}

TEST_F(WindowClassTest, UnregisteringAClassThatHasAWindowFailsUntilTheWindowIsGone) {
  ASSERT_NE(0, registerClass("ConformanceInUse"));
  HWND window = createWindow("ConformanceInUse", "in use");
  ASSERT_TRUE(window != NULL);

  SetLastError(0);
  EXPECT_FALSE(UnregisterClassA("ConformanceInUse", module()));
  EXPECT_LAST_ERROR(ERROR_CLASS_HAS_WINDOWS);

  ASSERT_TRUE(DestroyWindow(window));
  EXPECT_TRUE(UnregisterClassA("ConformanceInUse", module()));
}

TEST_F(WindowClassTest, UnregisteringAnUnknownClassFails) {
  SetLastError(0);
  EXPECT_FALSE(UnregisterClassA("ConformanceNeverRegistered", module()));
  EXPECT_LAST_ERROR(ERROR_CLASS_DOES_NOT_EXIST);
}

TEST_F(WindowClassTest, ClassInfoGivesTheRegisteredRecordAndTheAtom) {
  ATOM atom = registerClass("ConformanceInfo");
  ASSERT_NE(0, atom);

  WNDCLASSEXA info = {};
  info.cbSize = sizeof info;
  EXPECT_EQ(atom, GetClassInfoExA(module(), "CONFORMANCEINFO", &info));
  EXPECT_TRUE(info.lpfnWndProc == recordingProcedure);
  EXPECT_EQ(module(), info.hInstance);

  SetLastError(0);
  EXPECT_FALSE(GetClassInfoExA(module(), "ConformanceNoInfo", &info));
  EXPECT_LAST_ERROR(ERROR_CLASS_DOES_NOT_EXIST);
}

TEST_F(WindowClassTest, CreatingAWindowOfAnUnknownClassFails) {
  SetLastError(0);
  HWND window = CreateWindowExA(0, "ConformanceNoSuchClass", "none", WS_POPUP, 0, 0, 10, 10, NULL, NULL, module(), NULL);
  EXPECT_TRUE(window == NULL);
  EXPECT_LAST_ERROR_OR_ON_WINE(ERROR_CANNOT_FIND_WND_CLASS, ERROR_CLASS_DOES_NOT_EXIST,
                               "a quirk of Wine 8: CreateWindowEx reports the class lookup's own error");
}

}  // namespace
}  // namespace conformance
