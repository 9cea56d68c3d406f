// The message queue: posting, sending, the quit message and dispatching.
#include "Win32Test.h"

namespace conformance {
namespace {

class MessageTest : public Win32Test {
 protected:
  void SetUp() override {
    Win32Test::SetUp();
    ASSERT_NE(0, registerClass("ConformanceMessages"));
    window_ = createWindow("ConformanceMessages", "messages");
    ASSERT_TRUE(window_ != NULL);
    receivedMessages().clear();
  }

  // Runs a message loop until GetMessageA returns 0 or -1, and gives the
  // messages it retrieved, WM_QUIT included.
  std::vector<MSG> drainUntilQuit() {
    std::vector<MSG> retrieved;
    MSG message;
    BOOL result;
    while ((result = GetMessageA(&message, NULL, 0, 0)) != 0) {
      if (result == -1) {
        ADD_FAILURE() << "GetMessageA failed with error " << GetLastError();
        break;
      }
      retrieved.push_back(message);
      DispatchMessageA(&message);
    }
    if (result == 0) {
      retrieved.push_back(message);
    }
    return retrieved;
  }

  HWND window_ = NULL;
};

TEST_F(MessageTest, QuitComesOnlyAfterEveryPostedMessage) {
  ASSERT_TRUE(PostMessageA(window_, WM_USER + 1, 0, 0));
  ASSERT_TRUE(PostMessageA(NULL, WM_USER + 2, 0, 0));
  PostQuitMessage(7);
  ASSERT_TRUE(PostMessageA(window_, WM_USER + 3, 0, 0));

  std::vector<MSG> retrieved = drainUntilQuit();

  std::vector<MSG> ours;
  for (const MSG& message : retrieved) {
    if (message.message == WM_QUIT || (message.message > WM_USER && message.message <= WM_USER + 3)) {
      ours.push_back(message);
    }
  }
  const UINT expected[] = {WM_USER + 1, WM_USER + 2, WM_USER + 3, WM_QUIT};
  const HWND expectedWindows[] = {window_, NULL, window_, NULL};
  ASSERT_EQ(4u, ours.size()) << "expected the three posted messages, then WM_QUIT";
  for (std::size_t index = 0; index < ours.size(); ++index) {
    EXPECT_EQ(messageName(expected[index]), messageName(ours[index].message)) << "message " << index;
    EXPECT_EQ(expectedWindows[index], ours[index].hwnd) << "window of message " << index;
  }
  EXPECT_EQ(7u, ours.back().wParam) << "expected the exit code in WM_QUIT's wParam";
}

TEST_F(MessageTest, DispatchCallsTheWindowProcedure) {
  ASSERT_TRUE(PostMessageA(window_, WM_USER + 5, 0, 0));
  PostQuitMessage(0);

  drainUntilQuit();

  expectSequence({{window_, WM_USER + 5}}, "DispatchMessageA");
}

TEST_F(MessageTest, MessagesPostedToADestroyedWindowAreDropped) {
  ASSERT_TRUE(PostMessageA(window_, WM_USER + 6, 0, 0));
  ASSERT_TRUE(DestroyWindow(window_));
  PostQuitMessage(0);

  std::vector<MSG> retrieved = drainUntilQuit();

  for (const MSG& message : retrieved) {
    EXPECT_NE(static_cast<UINT>(WM_USER + 6), message.message) << "a message of the destroyed window was retrieved";
  }
}

TEST_F(MessageTest, PostingToADeadWindowFails) {
  ASSERT_TRUE(DestroyWindow(window_));

  SetLastError(0);
  EXPECT_FALSE(PostMessageA(window_, WM_USER, 0, 0));
  EXPECT_LAST_ERROR(ERROR_INVALID_WINDOW_HANDLE);
  SetLastError(0);
  EXPECT_EQ(0, SendMessageA(window_, WM_USER, 0, 0));
  EXPECT_LAST_ERROR(ERROR_INVALID_WINDOW_HANDLE);
}

TEST_F(MessageTest, GetMessageWithAnInvalidWindowFilterFails) {
  ASSERT_TRUE(DestroyWindow(window_));
  MSG message;

  SetLastError(0);
  EXPECT_EQ(-1, GetMessageA(&message, window_, 0, 0));
  EXPECT_LAST_ERROR(ERROR_INVALID_WINDOW_HANDLE);
}

TEST_F(MessageTest, CloseThroughDefaultProcessingDestroysTheWindow) {
  SendMessageA(window_, WM_CLOSE, 0, 0);

  expectSequence({{window_, WM_CLOSE}, {window_, WM_DESTROY}, {window_, WM_NCDESTROY}}, "WM_CLOSE");
  EXPECT_FALSE(IsWindow(window_));
}

TEST_F(MessageTest, ThreadMessagesAndNullTablesAreNotDispatched) {
  MSG threadMessage = {};
  threadMessage.message = WM_USER + 7;
  EXPECT_EQ(0, DispatchMessageA(&threadMessage));
  EXPECT_EQ(0, TranslateAcceleratorA(window_, NULL, &threadMessage));
  EXPECT_FALSE(TranslateMessage(&threadMessage));
  expectSequence({}, "a thread message dispatched");
}

}  // namespace
}  // namespace conformance
