// user32's MessageBoxA: the box is recorded on the desktop and runs a modal
// loop until the user presses one of its buttons.
#include "Desktop.h"
#include "ScriptedHost.h"

#include <algorithm>
#include <vector>

namespace {

// The buttons each MB_ type shows, as the results they give.
std::vector<int> buttonsOf(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OK:
      return {IDOK};
    case MB_OKCANCEL:
      return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE:
      return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL:
      return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO:
      return {IDYES, IDNO};
    case MB_RETRYCANCEL:
      return {IDRETRY, IDCANCEL};
    case MB_CANCELTRYCONTINUE:
      return {IDCANCEL, IDTRYAGAIN, IDCONTINUE};
    default:
      return {};
  }
}

// The box is open from its record until MessageBoxA returns, also when a
// window procedure run by its loop throws.
class OpenBoxScope {
 public:
  explicit OpenBoxScope(std::size_t index) { platform::theDesktop().openMessageBoxes.push_back(index); }
  ~OpenBoxScope() { platform::theDesktop().openMessageBoxes.pop_back(); }
  OpenBoxScope(const OpenBoxScope&) = delete;
  OpenBoxScope& operator=(const OpenBoxScope&) = delete;
};

// The modal loop hands posted messages to their windows (thread messages
// are lost, as in Win32's modal loops); the quit request stays for the
// caller's own loop.
bool dispatchOnePostedMessage() {
  std::deque<MSG>& queue = platform::theDesktop().postedMessages;
  if (queue.empty()) {
    return false;
  }
  MSG message = queue.front();
  queue.pop_front();
  DispatchMessageA(&message);
  return true;
}

int resultOf(std::size_t index) { return platform::theDesktop().messageBoxes[index].result; }

}  // namespace

extern "C" int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  if (owner && !platform::findWindowRecord(owner)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  if (buttonsOf(type).empty()) {
    SetLastError(ERROR_INVALID_MSGBOX_STYLE);
    return 0;
  }
  platform::Desktop& desktop = platform::theDesktop();
  desktop.messageBoxes.push_back(
      platform::desktop::ShownMessageBox{owner, text ? text : "", caption != NULL, caption ? caption : "Error", type, 0});
  std::size_t index = desktop.messageBoxes.size() - 1;
  OpenBoxScope scope(index);
  while (resultOf(index) == 0) {
    if (dispatchOnePostedMessage()) {
      continue;
    }
    if (!platform::theDesktop().host->deliverInput("MessageBoxA")) {
      return 0;
    }
  }
  return resultOf(index);
}

namespace platform {

namespace desktop {

const std::vector<ShownMessageBox>& messageBoxes() { return theDesktop().messageBoxes; }

}  // namespace desktop

namespace script {

void pressMessageBoxButton(int button) {
  then([button] {
    Desktop& desktop = theDesktop();
    if (desktop.openMessageBoxes.empty()) {
      scriptedHost().reportMisplacedAction("a message box button is pressed but no message box is open");
      return;
    }
    desktop::ShownMessageBox& box = desktop.messageBoxes[desktop.openMessageBoxes.back()];
    std::vector<int> buttons = buttonsOf(box.type);
    if (std::find(buttons.begin(), buttons.end(), button) == buttons.end()) {
      scriptedHost().reportMisplacedAction("a button is pressed that the open message box does not have");
      return;
    }
    box.result = button;
  });
}

}  // namespace script

}  // namespace platform
