// The scripted host: runs queued input events and test steps when the
// program waits.
#include "hosts/scripted/ScriptedHost.h"

#include "core/Desktop.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace platform {

namespace {

// Ends the test process so that the test fails instead of hanging; the
// exit status tells this end from a crash.
[[noreturn]] void endProcess() {
  std::fflush(nullptr);
  std::_Exit(3);
}

}  // namespace

bool ScriptedHost::waitForInput(WaitPlace place, InputSink& sink) {
  const char* waitingIn = waitPlaceName(place);
  if (steps_.empty()) {
    std::fprintf(stderr, "scripted host: the program waits for input in %s but the script has no more actions\n",
                 waitingIn);
    fail(waitingIn);
    return false;
  }
  std::variant<InputEvent, script::Action> step = std::move(steps_.front());
  steps_.pop_front();
  if (script::Action* action = std::get_if<script::Action>(&step)) {
    if (*action) {
      (*action)();
    }
    return true;
  }
  const InputEvent& event = std::get<InputEvent>(step);
  if (const input::MoveCursor* move = std::get_if<input::MoveCursor>(&event)) {
    cursor_ = move->point;
  }
  std::string refusal = sink.deliver(event);
  if (!refusal.empty()) {
    std::fprintf(stderr, "scripted host: %s, while the program waits for input in %s\n", refusal.c_str(), waitingIn);
    fail(waitingIn);
  }
  return true;
}

void ScriptedHost::messageBoxOpened(const MessageBoxView& box) {
  messageBoxes_.push_back(desktop::ShownMessageBox{box.owner, box.text, box.hasCaption, box.caption, box.type, 0});
  openBoxes_.push_back(messageBoxes_.size() - 1);
}

void ScriptedHost::messageBoxClosed(int button) {
  messageBoxes_[openBoxes_.back()].result = button;
  openBoxes_.pop_back();
}

void ScriptedHost::popupMenuOpened(const PopupMenuView& menu) {
  trackedMenus_.push_back(desktop::TrackedMenu{menu, 0});
  menuOpen_ = true;
}

void ScriptedHost::popupMenuClosed(UINT command) {
  trackedMenus_.back().chosen = command;
  menuOpen_ = false;
}

// The scripted desktop opens nothing; every request succeeds.
DWORD ScriptedHost::openWithShell(const ShellRequest& request) {
  shellRequests_.push_back(request);
  return 0;
}

void ScriptedHost::debugOutput(const std::string& text) {
  debugLines_.push_back(text);
  if (echo_) {
    std::fputs(text.c_str(), stderr);
    std::fflush(stderr);
  }
}

void ScriptedHost::consoleOutput(const std::string& text, bool standardError) {
  consoleText_ += text;
  if (echo_) {
    FILE* stream = standardError ? stderr : stdout;
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
  }
}

// The records of an open box or menu are still written when it closes, so
// they stay; boxes are few, and a run that forgets is one that shows many
// pictures or reloads often.
void ScriptedHost::forgetRecords() {
  debugLines_.clear();
  consoleText_.clear();
  postedMessages_.clear();
  if (!menuOpen_) {
    trackedMenus_.clear();
  }
}

void ScriptedHost::queue(InputEvent event) { steps_.push_back(std::move(event)); }

void ScriptedHost::queue(script::Action action) { steps_.push_back(std::move(action)); }

std::size_t ScriptedHost::pendingSteps() const { return steps_.size(); }

void ScriptedHost::setExhaustedHandler(script::ExhaustedHandler handler) { exhaustedHandler_ = std::move(handler); }

void ScriptedHost::fail(const char* waitingIn) {
  if (!exhaustedHandler_) {
    endProcess();
  }
  exhaustedHandler_(waitingIn);
}

ScriptedHost& scriptedHost() {
  ScriptedHost* host = dynamic_cast<ScriptedHost*>(theDesktop().host.get());
  if (!host) {
    std::fprintf(stderr, "scripted host: a script step is queued but another host is installed\n");
    endProcess();
  }
  return *host;
}

namespace desktop {

const std::vector<ShellRequest>& shellRequests() { return scriptedHost().shellRequests(); }

const std::vector<std::string>& debugOutput() { return scriptedHost().debugLines(); }

const std::string& consoleOutput() { return scriptedHost().consoleText(); }

void setEcho(bool echo) { scriptedHost().setEcho(echo); }

void forgetRecords() { scriptedHost().forgetRecords(); }

const std::vector<ShownMessageBox>& messageBoxes() { return scriptedHost().messageBoxes(); }

const std::vector<TrackedMenu>& trackedMenus() { return scriptedHost().trackedMenus(); }

const std::vector<MSG>& postedMessages() { return scriptedHost().postedMessages(); }

}  // namespace desktop

namespace script {

void then(Action action) { scriptedHost().queue(std::move(action)); }

void moveCursor(int x, int y, HWND window) { scriptedHost().queue(input::MoveCursor{POINT{x, y}, window}); }

void moveWindowByDesktop(HWND window, int x, int y) { scriptedHost().queue(input::MoveWindow{window, POINT{x, y}}); }

void pressButton(MouseButton button) { scriptedHost().queue(input::PressButton{button}); }

void releaseButton(MouseButton button) { scriptedHost().queue(input::ReleaseButton{button}); }

void click(int x, int y, MouseButton button) {
  moveCursor(x, y);
  pressButton(button);
  releaseButton(button);
}

void pressMessageBoxButton(int button) { scriptedHost().queue(input::PressMessageBoxButton{button}); }

void clickTrayIcon(MouseButton button, HWND window, UINT id) {
  const UINT down[] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
  const UINT up[] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP};
  trayIconMouse(down[static_cast<int>(button)], window, id);
  trayIconMouse(up[static_cast<int>(button)], window, id);
}

void trayIconMouse(UINT mouseMessage, HWND window, UINT id) {
  scriptedHost().queue(input::TrayIconMouse{window, id, mouseMessage});
}

void chooseMenuItem(UINT command) { scriptedHost().queue(input::ChooseMenuItem{command, ""}); }

void chooseMenuItem(const std::string& text) { scriptedHost().queue(input::ChooseMenuItem{0, text}); }

void dismissMenu() { scriptedHost().queue(input::DismissMenu{}); }

std::size_t pendingActions() { return scriptedHost().pendingSteps(); }

void onExhausted(ExhaustedHandler handler) { scriptedHost().setExhaustedHandler(std::move(handler)); }

}  // namespace script

}  // namespace platform
