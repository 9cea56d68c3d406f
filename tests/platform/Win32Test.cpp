#include "Win32Test.h"

#include <algorithm>
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

struct MessageNameEntry {
  UINT message;
  const char* name;
};

const MessageNameEntry kMessageNames[] = {
    {WM_NULL, "WM_NULL"},         {WM_CREATE, "WM_CREATE"},         {WM_DESTROY, "WM_DESTROY"},
    {WM_MOVE, "WM_MOVE"},         {WM_SIZE, "WM_SIZE"},             {WM_SETTEXT, "WM_SETTEXT"},
    {WM_GETTEXT, "WM_GETTEXT"},   {WM_CLOSE, "WM_CLOSE"},           {WM_QUIT, "WM_QUIT"},
    {WM_NCCREATE, "WM_NCCREATE"}, {WM_NCDESTROY, "WM_NCDESTROY"},   {WM_NCCALCSIZE, "WM_NCCALCSIZE"},
    {WM_COMMAND, "WM_COMMAND"},   {WM_GETMINMAXINFO, "WM_GETMINMAXINFO"},
};

std::string describe(HWND window, UINT message) {
  std::ostringstream text;
  text << messageName(message) << " to " << window;
  return text.str();
}

template <typename Entry>
std::string describeAll(const std::vector<Entry>& entries) {
  std::string text;
  for (const Entry& entry : entries) {
    text += (text.empty() ? "" : ", ") + describe(entry.window, entry.message);
  }
  return "[" + text + "]";
}

}  // namespace

std::vector<ReceivedMessage>& receivedMessages() {
  static std::vector<ReceivedMessage> messages;
  return messages;
}

LRESULT CALLBACK recordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  receivedMessages().push_back(ReceivedMessage{window, message});
  return DefWindowProcA(window, message, wParam, lParam);
}

std::string messageName(UINT message) {
  for (const MessageNameEntry& entry : kMessageNames) {
    if (entry.message == message) {
      return entry.name;
    }
  }
  if (message >= WM_USER) {
    return "WM_USER+" + std::to_string(message - WM_USER);
  }
  return "message " + std::to_string(message);
}

void expectSequence(const std::vector<ExpectedMessage>& expected, const char* context) {
  std::vector<ReceivedMessage> compared;
  for (const ReceivedMessage& received : receivedMessages()) {
    bool mentioned = std::any_of(expected.begin(), expected.end(),
                                 [&received](const ExpectedMessage& entry) { return entry.message == received.message; });
    if (mentioned) {
      compared.push_back(received);
    }
  }
  bool same = compared.size() == expected.size();
  for (std::size_t index = 0; same && index < expected.size(); ++index) {
    same = compared[index].message == expected[index].message &&
           (!expected[index].window || compared[index].window == expected[index].window);
  }
  EXPECT_TRUE(same) << context << ": expected " << describeAll(expected) << ", got " << describeAll(compared);
}

void Win32Test::SetUp() {
#ifndef _WIN32
  platform::desktop::reset();
  platform::desktop::setEcho(false);
#endif
  receivedMessages().clear();
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

}  // namespace conformance
