// The message sequence check itself: it must fail wherever the received
// messages and the table differ, and say how.
#include <gtest/gtest-spi.h>

#include "Win32Test.h"

namespace conformance {
namespace {

HWND const kAnotherWindow = reinterpret_cast<HWND>(static_cast<LONG_PTR>(0x1234));

class SequenceTest : public Win32Test {
 protected:
  void SetUp() override {
    Win32Test::SetUp();
    ASSERT_NE(0, registerClass("ConformanceSequence"));
    window_ = createWindow("ConformanceSequence", "sequence");
    ASSERT_TRUE(window_ != NULL);
    clearReceivedMessages();
  }

  // WM_USER (1, 2) sent, then WM_USER+1 (3, 4) posted and dispatched.
  void receiveSentThenPosted() {
    SendMessageA(window_, WM_USER, 1, 2);
    ASSERT_TRUE(PostMessageA(window_, WM_USER + 1, 3, 4));
    PostQuitMessage(0);
    drainUntilQuit();
  }

  HWND window_ = NULL;
};

TEST_F(SequenceTest, EveryDifferenceFails) {
  struct Case {
    std::vector<ExpectedMessage> table;
    const char* failure;
  };
  const Case cases[] = {
      {{}, "table: at received message 1: expected no more messages, got WM_USER sent wParam=0x1 lParam=0x2"},
      {{{WM_USER, kSent}}, "at received message 2: expected no more messages, got WM_USER+1 posted"},
      {{{WM_USER, kSent}, {WM_USER + 1, kPosted}, {WM_USER + 2, kSent}},
       "after the last received message: expected WM_USER+2 sent, got nothing"},
      {{{WM_USER + 1, kPosted}, {WM_USER, kSent}},
       "at received message 1: expected WM_USER+1 posted, got WM_USER sent"},
      {{{WM_USER, kSent | kWParam, 9}, {WM_USER + 1, kPosted}},
       "at received message 1: expected WM_USER sent wParam=0x9, got WM_USER sent wParam=0x1"},
      {{{WM_USER, kSent}, {WM_USER + 1, kPosted | kLParam, 0, 9}},
       "at received message 2: expected WM_USER+1 posted lParam=0x9, got WM_USER+1 posted wParam=0x3 lParam=0x4"},
      {{{WM_USER, kSent}, {WM_USER + 1, kSent}},
       "at received message 2: expected WM_USER+1 sent, got WM_USER+1 posted"},
      {{{WM_USER, kSent | kDefWindowProc}, {WM_USER + 1, kPosted}},
       "at received message 1: expected WM_USER sent|defwindowproc, got WM_USER sent wParam"},
      {{{WM_USER, kSent, 0, 0, kAnotherWindow}, {WM_USER + 1, kPosted}},
       "at received message 1: expected WM_USER sent to 0x1234, got WM_USER sent"},
      // An optional row that does not match is skipped, not used up.
      {{{WM_USER, kSent}, {WM_USER + 2, kSent | kOptional}},
       "at received message 2: expected no more messages, got WM_USER+1 posted"},
  };
  for (const Case& testCase : cases) {
    receiveSentThenPosted();
    EXPECT_NONFATAL_FAILURE(expectSequence(testCase.table, "table"), testCase.failure);
  }
}

TEST_F(SequenceTest, AFailureListsBothSequences) {
  receiveSentThenPosted();
  EXPECT_NONFATAL_FAILURE(
      expectSequence({{WM_USER, kSent | kOptional}}, "listed"),
      "\n  expected:\n    WM_USER sent|optional\n  got:\n    WM_USER sent wParam=0x1 lParam=0x2 to ");
  expectSequence({}, "a failed comparison clears the record");
}

TEST_F(SequenceTest, OptionalRowsMayBeMissingAnywhere) {
  const std::vector<ExpectedMessage> tables[] = {
      {{WM_USER, kSent | kWParam | kLParam, 1, 2, window_}, {WM_USER + 1, kPosted | kWParam | kLParam, 3, 4, window_}},
      {{WM_NULL, kSent | kOptional},
       {WM_USER, kSent},
       {WM_USER + 2, kSent | kOptional},
       {WM_USER + 1, kPosted},
       {WM_USER + 3, kPosted | kOptional}},
      {{WM_USER, kSent | kOptional}, {WM_USER + 1, kPosted | kOptional}},
  };
  for (const std::vector<ExpectedMessage>& table : tables) {
    receiveSentThenPosted();
    expectSequence(table, "a matching table");
  }
}

// Sends itself the message it is given, once.
LRESULT CALLBACK echoingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  static bool echoing = false;
  recordMessage(window, message, wParam, lParam);
  if (message == WM_USER && !echoing) {
    echoing = true;
    SendMessageA(window, message, wParam, lParam);
    echoing = false;
  }
  return recordedDefWindowProc(window, message, wParam, lParam);
}

TEST_F(SequenceTest, OnlyTheDispatchedMessageItselfIsPosted) {
  ASSERT_NE(0, registerClass("ConformanceEcho", echoingProcedure));
  HWND window = createWindow("ConformanceEcho", "echo");
  ASSERT_TRUE(window != NULL);
  clearReceivedMessages();

  ASSERT_TRUE(PostMessageA(window, WM_USER, 5, 6));
  PostQuitMessage(0);
  drainUntilQuit();
  SendMessageA(window, WM_CLOSE, 0, 0);

  expectSequence({{WM_USER, kPosted},
                  {WM_USER, kSent},
                  {WM_CLOSE, kSent},
                  {WM_DESTROY, kSent | kDefWindowProc},
                  {WM_NCDESTROY, kSent | kDefWindowProc}},
                 "a posted message its procedure sends again, then WM_CLOSE");
}

}  // namespace
}  // namespace conformance
