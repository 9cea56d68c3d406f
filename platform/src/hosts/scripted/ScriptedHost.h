// The host that tests drive: a script of user input and test steps, run one
// at a time whenever the program waits for input. It keeps the records a
// test reads back (debugger and console output, boxes, menus, posted
// messages, shell requests); a real host keeps none of them.
#pragma once

#include <platform/desktop.h>
#include <platform/host.h>

#include <deque>
#include <variant>

namespace platform {

class ScriptedHost : public Host {
 public:
  bool waitForInput(WaitPlace place, InputSink& sink) override;
  void messageBoxOpened(const MessageBoxView& box) override;
  void messageBoxClosed(int button) override;
  void popupMenuOpened(const PopupMenuView& menu) override;
  void popupMenuClosed(UINT command) override;
  DWORD openWithShell(const ShellRequest& request) override;
  POINT cursorPosition() override { return cursor_; }
  void moveCursor(POINT point) override { cursor_ = point; }
  SIZE screenSize() override { return SIZE{1920, 1080}; }
  void debugOutput(const std::string& text) override;
  void consoleOutput(const std::string& text, bool standardError) override;
  void messagePosted(const MSG& message) override { postedMessages_.push_back(message); }

  void queue(InputEvent event);
  void queue(script::Action action);
  std::size_t pendingSteps() const;
  void setExhaustedHandler(script::ExhaustedHandler handler);
  void setEcho(bool echo) { echo_ = echo; }
  void forgetRecords();

  const std::vector<std::string>& debugLines() const { return debugLines_; }
  const std::string& consoleText() const { return consoleText_; }
  const std::vector<desktop::ShownMessageBox>& messageBoxes() const { return messageBoxes_; }
  const std::vector<desktop::TrackedMenu>& trackedMenus() const { return trackedMenus_; }
  const std::vector<MSG>& postedMessages() const { return postedMessages_; }
  const std::vector<ShellRequest>& shellRequests() const { return shellRequests_; }

 private:
  // Hands the failure to the exhausted handler; the default ends the
  // process so that the test fails instead of hanging.
  void fail(const char* waitingIn);

  std::deque<std::variant<InputEvent, script::Action>> steps_;
  script::ExhaustedHandler exhaustedHandler_;
  POINT cursor_ = {0, 0};
  bool echo_ = true;

  std::vector<std::string> debugLines_;
  std::string consoleText_;
  std::vector<desktop::ShownMessageBox> messageBoxes_;
  std::vector<std::size_t> openBoxes_;  // indexes into messageBoxes_, innermost last
  std::vector<desktop::TrackedMenu> trackedMenus_;
  bool menuOpen_ = false;
  std::vector<MSG> postedMessages_;
  std::vector<ShellRequest> shellRequests_;
};

// The desktop's host, which must be the scripted one.
ScriptedHost& scriptedHost();

}  // namespace platform
