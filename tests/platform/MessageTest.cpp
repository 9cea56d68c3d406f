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
    clearReceivedMessages();
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
  expectSequence({{WM_USER + 1, kPosted, 0, 0, window_}, {WM_USER + 3, kPosted, 0, 0, window_}},
                 "the window's posted messages");
}

TEST_F(MessageTest, DispatchCallsTheWindowProcedure) {
  ASSERT_TRUE(PostMessageA(window_, WM_USER + 5, 5, 55));
  PostQuitMessage(0);

  drainUntilQuit();

  expectSequence({{WM_USER + 5, kPosted | kWParam | kLParam, 5, 55, window_}}, "DispatchMessageA");
}

TEST_F(MessageTest, MessagesPostedToADestroyedWindowAreDropped) {
  ASSERT_TRUE(PostMessageA(window_, WM_USER + 6, 0, 0));
  ASSERT_TRUE(DestroyWindow(window_));
  PostQuitMessage(0);

  std::vector<MSG> retrieved = drainUntilQuit();

  for (const MSG& message : retrieved) {
    EXPECT_NE(static_cast<UINT>(WM_USER + 6), message.message) << "a message of the destroyed window was retrieved";
  }
  expectSequence({{WM_DESTROY, kSent}, {WM_NCDESTROY, kSent}}, "DestroyWindow, then the message loop");
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

  expectSequence({{WM_CLOSE, kSent}, {WM_DESTROY, kSent | kDefWindowProc}, {WM_NCDESTROY, kSent | kDefWindowProc}},
                 "WM_CLOSE");
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
