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
  std::string refusal = sink.deliver(std::get<InputEvent>(step));
  if (!refusal.empty()) {
    std::fprintf(stderr, "scripted host: %s, while the program waits for input in %s\n", refusal.c_str(), waitingIn);
    fail(waitingIn);
  }
  return true;
}

void ScriptedHost::openWithShell(const ShellRequest& request) { shellRequests_.push_back(request); }

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

}  // namespace desktop

namespace script {

void then(Action action) { scriptedHost().queue(std::move(action)); }

void moveCursor(int x, int y) { scriptedHost().queue(input::MoveCursor{POINT{x, y}}); }

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
