// The host that tests drive: a queue of user actions, run one at a time
// whenever the program waits for input.
#pragma once

#include "Host.h"

#include <platform/desktop.h>

#include <deque>

namespace platform {

class ScriptedHost : public Host {
 public:
  bool deliverInput(const char* waitingIn) override;

  void queue(script::Action action);
  std::size_t pendingActions() const;
  void setExhaustedHandler(script::ExhaustedHandler handler);

  // Where the program waits while the current action runs; null outside one.
  const char* waitingIn() const;

  // Reports an action that cannot be carried out where the program waits,
  // then lets the exhausted handler decide (the default ends the process).
  void reportMisplacedAction(const char* what);

 private:
  void exhausted(const char* waitingIn);

  std::deque<script::Action> actions_;
  script::ExhaustedHandler exhaustedHandler_;
  const char* waitingIn_ = nullptr;
};

// The desktop's host, as the scripted host.
ScriptedHost& scriptedHost();

}  // namespace platform
