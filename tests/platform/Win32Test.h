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

// One message as a window procedure received it.
struct ReceivedMessage {
  HWND window;
  UINT message;
};

// An entry of an expected sequence; a null window matches any window (for
// messages sent before CreateWindowExA has returned the handle).
struct ExpectedMessage {
  HWND window;
  UINT message;
};

std::vector<ReceivedMessage>& receivedMessages();

// Records every message, then leaves it to DefWindowProcA.
LRESULT CALLBACK recordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Compares the received messages with a table, in order. As in Wine's
// message tests, Windows sends more messages than the table names
// (WM_GETMINMAXINFO, WM_NCCALCSIZE, WM_WINDOWPOSCHANGING...): only received
// messages of the kinds the table mentions are compared.
void expectSequence(const std::vector<ExpectedMessage>& expected, const char* context);

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

 private:
  std::vector<std::string> classes_;
  std::vector<HWND> windows_;
};

}  // namespace conformance
