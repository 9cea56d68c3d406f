// The fixture of the conformance tests: plain Win32 code, so that the same
// tests build with MinGW and run on Windows or Wine. Only the reset of the
// model desktop between tests is particular to the Linux layer; on Windows
// each test cleans up the windows and classes it made.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#ifndef _WIN32
#include <platform/desktop.h>
#endif

// Error codes are long constants and GetLastError a DWORD, of different
// signedness on Windows; compare them as DWORD.
#define EXPECT_LAST_ERROR(code) EXPECT_EQ(static_cast<DWORD>(code), GetLastError())

namespace conformance {

// Wine 8 sets other error codes than Windows in a few failures. A test that
// meets one names both codes and the reason, so the difference shows in the
// test itself rather than in a list of tests left out.
bool runningOnWine();

#define EXPECT_LAST_ERROR_OR_ON_WINE(code, wineCode, reason)                                                      \
  EXPECT_EQ(static_cast<DWORD>(::conformance::runningOnWine() ? (wineCode) : (code)), GetLastError()) \
      << (::conformance::runningOnWine() ? "Wine: " reason : "")

// Message sequences, in the manner of Wine's message tests.
//
// A window procedure records what it receives (recordingProcedure does, or
// a test's own procedure calls recordMessage and recordedDefWindowProc), and
// expectSequence compares the record with a table of rows, strictly: every
// received message must match the next row, rows marked kOptional may be
// skipped, and nothing may be left over on either side. The record is then
// cleared, so the next table covers only what follows. WM_GETICON,
// WM_GETOBJECT and registered messages, which the system sends whenever it
// likes, are never recorded.
//
//   HWND window = createWindow("Class", "title");
//   expectSequence({{WM_NCCREATE, kSent},
//                   {WM_NCCALCSIZE, kSent | kOptional},  // Windows sends it, the layer does not
//                   {WM_CREATE, kSent}},
//                  "CreateWindowExA");
//   PostMessageA(window, WM_USER, 1, 0);
//   PostQuitMessage(0);
//   drainUntilQuit();  // or dispatchRecorded(message) in the test's own loop
//   expectSequence({{WM_USER, kPosted | kWParam, 1, 0, window}}, "a posted message");

// How a message arrived. A received message has kSent or kPosted, and
// kDefWindowProc when it came while its recording procedure was inside
// recordedDefWindowProc (WM_DESTROY from WM_CLOSE's default processing).
const unsigned kSent = 0x01;
const unsigned kPosted = 0x02;
const unsigned kDefWindowProc = 0x04;
// Only in rows: the message may be missing (Windows and Wine send many
// messages the layer does not, WM_GETMINMAXINFO, WM_SIZE, WM_ACTIVATE...);
// compare wParam or lParam, which are otherwise ignored.
const unsigned kOptional = 0x08;
const unsigned kWParam = 0x10;
const unsigned kLParam = 0x20;

// One row of an expected sequence. A null window matches any window (most
// tables have one window, and messages come before CreateWindowExA returns
// its handle).
struct ExpectedMessage {
  ExpectedMessage(UINT message, unsigned flags, WPARAM wParam = 0, LPARAM lParam = 0, HWND window = NULL)
      : message(message), flags(flags), wParam(wParam), lParam(lParam), window(window) {}

  UINT message;
  unsigned flags;
  WPARAM wParam;
  LPARAM lParam;
  HWND window;
};

// One message as a window procedure received it.
struct ReceivedMessage {
  HWND window;
  UINT message;
  unsigned flags;  // kSent or kPosted, and kDefWindowProc
  WPARAM wParam;
  LPARAM lParam;
};

// Records a message for the next expectSequence; to be called first thing
// in a window procedure.
void recordMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// DefWindowProcA, marking what arrives during it with kDefWindowProc.
LRESULT recordedDefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// recordMessage, then recordedDefWindowProc.
LRESULT CALLBACK recordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// DispatchMessageA, telling the recorder that this message is the posted
// one: a message loop of a test dispatches through it. Whatever else
// arrives meanwhile is sent.
LRESULT dispatchRecorded(const MSG& message);

const std::vector<ReceivedMessage>& receivedMessages();
void clearReceivedMessages();

// Compares the received messages with the table and clears them. A failure
// names the call site (the compiler fills in file and line), the context,
// the first difference and both sequences.
void expectSequence(const std::vector<ExpectedMessage>& expected, const char* context,
                    const char* file = __builtin_FILE(), int line = __builtin_LINE());

std::string messageName(UINT message);

class Win32Test : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Registers a class of the program's module; the fixture unregisters it.
  ATOM registerClass(const char* className, WNDPROC procedure = recordingProcedure);

  // Creates a top-level window; the fixture destroys it if the test does not.
  HWND createWindow(const char* className, const char* title, DWORD style = WS_POPUP, DWORD exStyle = 0,
                    HWND owner = NULL);

  HINSTANCE module() const { return GetModuleHandleA(NULL); }

  // Runs a message loop through dispatchRecorded until GetMessageA returns
  // 0 or -1, and gives the messages it retrieved, WM_QUIT included.
  std::vector<MSG> drainUntilQuit();

 private:
  std::vector<std::string> classes_;
  std::vector<HWND> windows_;
};

}  // namespace conformance
