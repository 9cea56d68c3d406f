// The scripted host: runs queued user actions when the program waits.
#include "ScriptedHost.h"

#include "Desktop.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace platform {

namespace {

// Ends the test process so that the test fails instead of hanging; the
// exit status tells this end from a crash.
void endProcess() {
  std::fflush(nullptr);
  std::_Exit(3);
}

// Marks where the program waits for as long as one action runs, also when
// the action throws.
class WaitingScope {
 public:
  WaitingScope(const char*& slot, const char* waitingIn) : slot_(slot), previous_(slot) { slot_ = waitingIn; }
  ~WaitingScope() { slot_ = previous_; }
  WaitingScope(const WaitingScope&) = delete;
  WaitingScope& operator=(const WaitingScope&) = delete;

 private:
  const char*& slot_;
  const char* previous_;
};

}  // namespace

bool ScriptedHost::deliverInput(const char* waitingIn) {
  if (actions_.empty()) {
    exhausted(waitingIn);
    return false;
  }
  script::Action action = std::move(actions_.front());
  actions_.pop_front();
  WaitingScope scope(waitingIn_, waitingIn);
  if (action) {
    action();
  }
  return true;
}

void ScriptedHost::queue(script::Action action) { actions_.push_back(std::move(action)); }

std::size_t ScriptedHost::pendingActions() const { return actions_.size(); }

void ScriptedHost::setExhaustedHandler(script::ExhaustedHandler handler) { exhaustedHandler_ = std::move(handler); }

const char* ScriptedHost::waitingIn() const { return waitingIn_; }

void ScriptedHost::reportMisplacedAction(const char* what) {
  const char* where = waitingIn_ ? waitingIn_ : "no call";
  std::fprintf(stderr, "scripted host: %s, while the program waits for input in %s\n", what, where);
  if (exhaustedHandler_) {
    exhaustedHandler_(where);
  } else {
    endProcess();
  }
}

void ScriptedHost::exhausted(const char* waitingIn) {
  if (exhaustedHandler_) {
    exhaustedHandler_(waitingIn);
    return;
  }
  std::fprintf(stderr, "scripted host: the program waits for input in %s but the script has no more actions\n",
               waitingIn);
  endProcess();
}

ScriptedHost& scriptedHost() { return static_cast<ScriptedHost&>(*theDesktop().host); }

namespace script {

void then(Action action) { scriptedHost().queue(std::move(action)); }

std::size_t pendingActions() { return scriptedHost().pendingActions(); }

void onExhausted(ExhaustedHandler handler) { scriptedHost().setExhaustedHandler(std::move(handler)); }

}  // namespace script

}  // namespace platform
