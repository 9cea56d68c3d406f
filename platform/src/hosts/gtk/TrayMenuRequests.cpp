#include "hosts/gtk/TrayMenuRequests.h"

namespace platform {
namespace gtk {

void TrayMenuRequests::learnWhenIdle(const void* owner, Request request) {
  owners_.insert(owner);
  wanted_[owner] = std::move(request);
}

// An owner going away takes its requests with it, the one under way too.
void TrayMenuRequests::forget(const void* owner) {
  wanted_.erase(owner);
  if (expected_ && expected_->owner == owner) {
    expected_.reset();
  }
  owners_.erase(owner);
}

// A choice changes what the menu shows (a check mark): it is learnt again
// once the program has carried the choice out.
void TrayMenuRequests::choose(const void* owner, Request request, UINT command) {
  owners_.insert(owner);
  wanted_[owner] = request;
  ask(owner, std::move(request), command);
}

void TrayMenuRequests::idle() {
  std::map<const void*, Request> wanted;
  wanted.swap(wanted_);
  for (auto& entry : wanted) {
    ask(entry.first, std::move(entry.second), 0);
  }
}

// The expectation holds only for the menu the click itself opens: a click
// the program answers with no menu leaves nothing expected behind it.
void TrayMenuRequests::ask(const void* owner, Request request, UINT command) {
  std::function<void()> click = request.click;
  input_.push([this, owner, request = std::move(request), command] {
    if (owners_.count(owner)) {
      expected_ = Expected{owner, request, command};
    }
  });
  click();
  input_.push([this] { expected_.reset(); });
}

bool TrayMenuRequests::answer(const PopupMenuView& menu) {
  if (!expected_) {
    return false;
  }
  Expected expected = std::move(*expected_);
  expected_.reset();
  expected.request.offer(menu.items);
  if (expected.command != 0) {
    input_.push(input::ChooseMenuItem{expected.command, ""});
  } else {
    input_.push(input::DismissMenu{});
  }
  return true;
}

}  // namespace gtk
}  // namespace platform
