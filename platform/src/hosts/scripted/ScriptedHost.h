// The host that tests drive: a script of user input and test steps, run one
// at a time whenever the program waits for input.
#pragma once

#include <platform/desktop.h>
#include <platform/host.h>

#include <deque>
#include <variant>

namespace platform {

class ScriptedHost : public Host {
 public:
  bool waitForInput(WaitPlace place, InputSink& sink) override;
  void openWithShell(const ShellRequest& request) override;
  const std::vector<ShellRequest>& shellRequests() const { return shellRequests_; }

  void queue(InputEvent event);
  void queue(script::Action action);
  std::size_t pendingSteps() const;
  void setExhaustedHandler(script::ExhaustedHandler handler);

 private:
  // Hands the failure to the exhausted handler; the default ends the
  // process so that the test fails instead of hanging.
  void fail(const char* waitingIn);

  std::deque<std::variant<InputEvent, script::Action>> steps_;
  script::ExhaustedHandler exhaustedHandler_;
  std::vector<ShellRequest> shellRequests_;
};

// The desktop's host, which must be the scripted one.
ScriptedHost& scriptedHost();

}  // namespace platform
