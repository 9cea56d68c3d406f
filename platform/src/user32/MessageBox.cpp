// user32's MessageBoxA: the box is recorded on the desktop, shown by the
// host, and runs the modal loop until the user presses one of its buttons.
#include "user32/MessageBox.h"

#include "core/MessageQueue.h"

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

// The box is open, and shown by the host, from its record until MessageBoxA
// returns, also when a window procedure run by its loop throws.
class OpenBoxScope {
 public:
  explicit OpenBoxScope(std::size_t index) : index_(index) {
    platform::Desktop& desktop = platform::theDesktop();
    desktop.openMessageBoxes.push_back(index);
    const platform::desktop::ShownMessageBox& box = desktop.messageBoxes[index];
    desktop.host->messageBoxOpened(platform::MessageBoxView{box.owner, box.text, box.caption, box.type});
  }
  ~OpenBoxScope() {
    platform::Desktop& desktop = platform::theDesktop();
    desktop.openMessageBoxes.pop_back();
    desktop.host->messageBoxClosed(desktop.messageBoxes[index_].result);
  }
  OpenBoxScope(const OpenBoxScope&) = delete;
  OpenBoxScope& operator=(const OpenBoxScope&) = delete;

 private:
  std::size_t index_;
};

int resultOf(std::size_t index) { return platform::theDesktop().messageBoxes[index].result; }

}  // namespace

// A box whose loop ends without a button (a WM_QUIT, or no more input)
// returns 0, and its record keeps the result 0.
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
  platform::runModalLoop(platform::WaitPlace::messageBox, [index] { return resultOf(index) != 0; });
  return resultOf(index);
}

namespace platform {

// The user presses a button of the innermost open box.
std::string pressMessageBoxButton(int button) {
  Desktop& desktop = theDesktop();
  if (desktop.openMessageBoxes.empty()) {
    return "a message box button is pressed but no message box is open";
  }
  desktop::ShownMessageBox& box = desktop.messageBoxes[desktop.openMessageBoxes.back()];
  std::vector<int> buttons = buttonsOf(box.type);
  if (std::find(buttons.begin(), buttons.end(), button) == buttons.end()) {
    return "a button is pressed that the open message box does not have";
  }
  box.result = button;
  return "";
}

namespace desktop {

const std::vector<ShownMessageBox>& messageBoxes() { return theDesktop().messageBoxes; }

}  // namespace desktop

}  // namespace platform
