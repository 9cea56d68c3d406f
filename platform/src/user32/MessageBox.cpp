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

// The box is open, and shown by the host, from MessageBoxA's call until it
// returns, also when a window procedure run by its loop throws.
class OpenBoxScope {
 public:
  explicit OpenBoxScope(const platform::MessageBoxView& view)
      : depth_(platform::theDesktop().openMessageBoxes.size()) {
    platform::Desktop& desktop = platform::theDesktop();
    desktop.openMessageBoxes.push_back(platform::OpenMessageBox{view.buttons, 0});
    desktop.host->messageBoxOpened(view);
  }
  ~OpenBoxScope() {
    platform::Desktop& desktop = platform::theDesktop();
    int result = desktop.openMessageBoxes.back().result;
    desktop.openMessageBoxes.pop_back();
    desktop.host->messageBoxClosed(result);
  }
  OpenBoxScope(const OpenBoxScope&) = delete;
  OpenBoxScope& operator=(const OpenBoxScope&) = delete;

  // The button pressed so far; 0 while none is.
  int result() const { return platform::theDesktop().openMessageBoxes[depth_].result; }

 private:
  std::size_t depth_;  // boxes nest: this one's place among the open ones
};

}  // namespace

// A box whose loop ends without a button (a WM_QUIT, or no more input)
// returns 0.
extern "C" int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  if (owner && !platform::findWindowRecord(owner)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  std::vector<int> buttons = buttonsOf(type);
  if (buttons.empty()) {
    SetLastError(ERROR_INVALID_MSGBOX_STYLE);
    return 0;
  }
  OpenBoxScope box(platform::MessageBoxView{owner, text ? text : "", caption != NULL, caption ? caption : "Error",
                                            type, buttons});
  platform::runModalLoop(platform::WaitPlace::messageBox, [&box] { return box.result() != 0; });
  return box.result();
}

namespace platform {

// The user presses a button of the innermost open box.
std::string pressMessageBoxButton(int button) {
  Desktop& desktop = theDesktop();
  if (desktop.openMessageBoxes.empty()) {
    return "a message box button is pressed but no message box is open";
  }
  OpenMessageBox& box = desktop.openMessageBoxes.back();
  if (std::find(box.buttons.begin(), box.buttons.end(), button) == box.buttons.end()) {
    return "a button is pressed that the open message box does not have";
  }
  box.result = button;
  return "";
}

}  // namespace platform
