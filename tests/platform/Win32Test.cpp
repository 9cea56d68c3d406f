#include "Win32Test.h"

#include <cstdint>
#include <sstream>

namespace conformance {

bool runningOnWine() {
#ifdef _WIN32
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != NULL && GetProcAddress(ntdll, "wine_get_version") != NULL;
#else
  return false;
#endif
}

namespace {

// Messages the layer does not declare, since the program never handles
// them, but that Windows and Wine send to the tests' windows.
const UINT kEraseBackground = 0x0014;
const UINT kActivateApp = 0x001C;
const UINT kGetObject = 0x003D;
const UINT kGetIcon = 0x007F;
const UINT kNcPaint = 0x0085;
const UINT kNcActivate = 0x0086;
const UINT kImeSetContext = 0x0281;
const UINT kImeNotify = 0x0282;
// Registered messages (RegisterWindowMessage) take the values from here on.
const UINT kFirstRegisteredMessage = 0xC000;

struct MessageNameEntry {
  UINT message;
  const char* name;
};

const MessageNameEntry kMessageNames[] = {
    {WM_NULL, "WM_NULL"},
    {WM_CREATE, "WM_CREATE"},
    {WM_DESTROY, "WM_DESTROY"},
    {WM_MOVE, "WM_MOVE"},
    {WM_SIZE, "WM_SIZE"},
    {WM_ACTIVATE, "WM_ACTIVATE"},
    {WM_SETFOCUS, "WM_SETFOCUS"},
    {WM_KILLFOCUS, "WM_KILLFOCUS"},
    {WM_SETTEXT, "WM_SETTEXT"},
    {WM_GETTEXT, "WM_GETTEXT"},
    {WM_GETTEXTLENGTH, "WM_GETTEXTLENGTH"},
    {WM_PAINT, "WM_PAINT"},
    {WM_CLOSE, "WM_CLOSE"},
    {WM_QUIT, "WM_QUIT"},
    {kEraseBackground, "WM_ERASEBKGND"},
    {WM_SHOWWINDOW, "WM_SHOWWINDOW"},
    {kActivateApp, "WM_ACTIVATEAPP"},
    {WM_GETMINMAXINFO, "WM_GETMINMAXINFO"},
    {kGetObject, "WM_GETOBJECT"},
    {WM_WINDOWPOSCHANGING, "WM_WINDOWPOSCHANGING"},
    {WM_WINDOWPOSCHANGED, "WM_WINDOWPOSCHANGED"},
    {kGetIcon, "WM_GETICON"},
    {WM_NCCREATE, "WM_NCCREATE"},
    {WM_NCDESTROY, "WM_NCDESTROY"},
    {WM_NCCALCSIZE, "WM_NCCALCSIZE"},
    {kNcPaint, "WM_NCPAINT"},
    {kNcActivate, "WM_NCACTIVATE"},
    {WM_COMMAND, "WM_COMMAND"},
    {kImeSetContext, "WM_IME_SETCONTEXT"},
    {kImeNotify, "WM_IME_NOTIFY"},
    {WM_USER, "WM_USER"},
};

// Messages that Windows and Wine send at moments of their own choosing,
// whatever the test does: the shell and the window manager ask a window for
// its icon, accessibility clients for its object, and other programs
// broadcast registered messages. A table could only list them as optional
// rows everywhere. Every other message belongs in the tables, as an
// optional row where it may or may not come.
bool isNoise(UINT message) {
  return message == kGetIcon || message == kGetObject || message >= kFirstRegisteredMessage;
}

const unsigned kDelivery = kSent | kPosted | kDefWindowProc;

struct Recorder {
  std::vector<ReceivedMessage> messages;
  // How many recordedDefWindowProc calls are running.
  int defWindowProcDepth = 0;
  // The message dispatchRecorded is dispatching, until a procedure has
  // received it. DispatchMessageA calls the procedure straight away, so the
  // first message to arrive that is this one is the posted one; whatever
  // its procedure then sends, even the same message again, is sent.
  const MSG* dispatching = nullptr;
};

Recorder& recorder() {
  static Recorder state;
  return state;
}

bool isDispatching(const MSG* dispatching, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return dispatching && dispatching->hwnd == window && dispatching->message == message &&
         dispatching->wParam == wParam && dispatching->lParam == lParam;
}

bool matches(const ExpectedMessage& row, const ReceivedMessage& received) {
  return row.message == received.message && (row.flags & kDelivery) == received.flags &&
         (!(row.flags & kWParam) || row.wParam == received.wParam) &&
         (!(row.flags & kLParam) || row.lParam == received.lParam) && (!row.window || row.window == received.window);
}

std::string describeFlags(unsigned flags) {
  struct FlagName {
    unsigned flag;
    const char* name;
  };
  const FlagName names[] = {
      {kSent, "sent"}, {kPosted, "posted"}, {kDefWindowProc, "defwindowproc"}, {kOptional, "optional"}};
  std::string text;
  for (const FlagName& name : names) {
    if (flags & name.flag) {
      text += (text.empty() ? "" : "|") + std::string(name.name);
    }
  }
  return text.empty() ? "neither sent nor posted" : text;
}

// The same on both builds; a pointer's own output differs between C
// libraries.
std::string describe(HWND window) {
  std::ostringstream text;
  text << "0x" << std::hex << reinterpret_cast<std::uintptr_t>(window);
  return text.str();
}

std::string describe(const ExpectedMessage& row) {
  std::ostringstream text;
  text << messageName(row.message) << ' ' << describeFlags(row.flags) << std::hex;
  if (row.flags & kWParam) {
    text << " wParam=0x" << row.wParam;
  }
  if (row.flags & kLParam) {
    text << " lParam=0x" << row.lParam;
  }
  if (row.window) {
    text << " to " << describe(row.window);
  }
  return text.str();
}

std::string describe(const ReceivedMessage& received) {
  std::ostringstream text;
  text << messageName(received.message) << ' ' << describeFlags(received.flags) << std::hex << " wParam=0x"
       << received.wParam << " lParam=0x" << received.lParam << " to " << describe(received.window);
  return text.str();
}

template <typename Entry>
std::string describeAll(const std::vector<Entry>& entries) {
  std::string text;
  for (const Entry& entry : entries) {
    text += "\n    " + describe(entry);
  }
  return text.empty() ? " (none)" : text;
}

// Walks both sequences together; gives the first difference, or nothing.
std::string firstDifference(const std::vector<ExpectedMessage>& expected,
                            const std::vector<ReceivedMessage>& received) {
  std::size_t row = 0;
  for (std::size_t index = 0; index < received.size(); ++index) {
    while (row < expected.size() && (expected[row].flags & kOptional) && !matches(expected[row], received[index])) {
      ++row;
    }
    std::string position = "at received message " + std::to_string(index + 1) + ": expected ";
    if (row == expected.size()) {
      return position + "no more messages, got " + describe(received[index]);
    }
    if (!matches(expected[row], received[index])) {
      return position + describe(expected[row]) + ", got " + describe(received[index]);
    }
    ++row;
  }
  for (; row < expected.size(); ++row) {
    if (!(expected[row].flags & kOptional)) {
      return "after the last received message: expected " + describe(expected[row]) + ", got nothing";
    }
  }
  return "";
}

}  // namespace

void recordMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (isNoise(message)) {
    return;
  }
  Recorder& state = recorder();
  unsigned flags = kSent;
  if (isDispatching(state.dispatching, window, message, wParam, lParam)) {
    flags = kPosted;
    state.dispatching = nullptr;
  }
  if (state.defWindowProcDepth > 0) {
    flags |= kDefWindowProc;
  }
  state.messages.push_back(ReceivedMessage{window, message, flags, wParam, lParam});
}

LRESULT recordedDefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  ++recorder().defWindowProcDepth;
  LRESULT result = DefWindowProcA(window, message, wParam, lParam);
  --recorder().defWindowProcDepth;
  return result;
}

LRESULT CALLBACK recordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  recordMessage(window, message, wParam, lParam);
  return recordedDefWindowProc(window, message, wParam, lParam);
}

LRESULT dispatchRecorded(const MSG& message) {
  Recorder& state = recorder();
  const MSG* outer = state.dispatching;
  state.dispatching = &message;
  LRESULT result = DispatchMessageA(&message);
  state.dispatching = outer;
  return result;
}

const std::vector<ReceivedMessage>& receivedMessages() { return recorder().messages; }

void clearReceivedMessages() { recorder().messages.clear(); }

void expectSequence(const std::vector<ExpectedMessage>& expected, const char* context, const char* file, int line) {
  std::string difference = firstDifference(expected, receivedMessages());
  if (!difference.empty()) {
    ADD_FAILURE_AT(file, line) << context << ": " << difference << "\n  expected:" << describeAll(expected)
                               << "\n  got:" << describeAll(receivedMessages());
  }
  clearReceivedMessages();
}

std::string messageName(UINT message) {
  for (const MessageNameEntry& entry : kMessageNames) {
    if (entry.message == message) {
      return entry.name;
    }
  }
  if (message >= WM_USER && message < kFirstRegisteredMessage) {
    return "WM_USER+" + std::to_string(message - WM_USER);
  }
  std::ostringstream text;
  text << "message 0x" << std::hex << message;
  return text.str();
}

void Win32Test::SetUp() {
#ifndef _WIN32
  platform::desktop::reset();
  platform::desktop::setEcho(false);
#endif
  clearReceivedMessages();
}

void Win32Test::TearDown() {
  for (HWND window : windows_) {
    if (IsWindow(window)) {
      DestroyWindow(window);
    }
  }
  for (const std::string& className : classes_) {
    UnregisterClassA(className.c_str(), module());
  }
}

ATOM Win32Test::registerClass(const char* className, WNDPROC procedure) {
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = module();
  windowClass.lpszClassName = className;
  ATOM atom = RegisterClassExA(&windowClass);
  if (atom) {
    classes_.push_back(className);
  }
  return atom;
}

HWND Win32Test::createWindow(const char* className, const char* title, DWORD style, DWORD exStyle, HWND owner) {
  HWND window = CreateWindowExA(exStyle, className, title, style, 10, 20, 100, 50, owner, NULL, module(), NULL);
  if (window) {
    windows_.push_back(window);
  }
  return window;
}

std::vector<MSG> Win32Test::drainUntilQuit() {
  std::vector<MSG> retrieved;
  MSG message;
  BOOL result;
  while ((result = GetMessageA(&message, NULL, 0, 0)) != 0) {
    if (result == -1) {
      ADD_FAILURE() << "GetMessageA failed with error " << GetLastError();
      break;
    }
    retrieved.push_back(message);
    dispatchRecorded(message);
  }
  if (result == 0) {
    retrieved.push_back(message);
  }
  return retrieved;
}

}  // namespace conformance
