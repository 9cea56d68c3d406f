// Ending the program from outside: its owner window is the handle.
#include "TessalineTest.h"

namespace {

class ShutdownTest : public TessalineTest {
 protected:
  // Starts a copy with the minimal settings and waits for its owner window.
  HWND startAndFindOwner(ProgramProcess*& program) {
    writeConfig();
    program = &startProgram();
    return waitForOwnerWindow(*program);
  }
};

TEST_F(ShutdownTest, CloseMessageEndsTheProgramWithZero) {
  ProgramProcess* program = nullptr;
  HWND owner = startAndFindOwner(program);
  ASSERT_NE(owner, nullptr) << describe(*program);

  PostMessageA(owner, WM_CLOSE, 0, 0);

  ASSERT_TRUE(program->waitForExit(kExitTimeout)) << "after WM_CLOSE: " << describe(*program);
  EXPECT_EQ(program->exitCode(), 0u) << describe(*program);
  EXPECT_EQ(FindWindowA("ParentWindow", "Tessaline"), nullptr) << "the owner window outlived the program";
}

TEST_F(ShutdownTest, ExitCommandEndsTheProgramWithZero) {
  ProgramProcess* program = nullptr;
  HWND owner = startAndFindOwner(program);
  ASSERT_NE(owner, nullptr) << describe(*program);

  PostMessageA(owner, WM_COMMAND, MAKEWPARAM(kExitCommand, 0), 0);

  ASSERT_TRUE(program->waitForExit(kExitTimeout)) << "after WM_COMMAND 104: " << describe(*program);
  EXPECT_EQ(program->exitCode(), 0u) << describe(*program);
}

}  // namespace
