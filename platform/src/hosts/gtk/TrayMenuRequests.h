// A tray icon's menu offered for the panel to draw (com.canonical.dbusmenu).
// The program makes its menus only when it opens them, so the host learns
// the icon's menu by the click that opens it, and answers that menu itself
// instead of showing it: dismissed when only learning, the panel's choice
// when the user chose in the panel's drawing of it.
//
// Learning waits until the program has nothing else to do, so that no
// learning click arrives while a box or a menu of its own is open.
#pragma once

#include "hosts/gtk/InputQueue.h"

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <vector>

namespace platform {
namespace gtk {

class TrayMenuRequests {
 public:
  struct Request {
    // Queues the click that makes the program open the icon's menu.
    std::function<void()> click;
    // Takes the items of the menu the click opened.
    std::function<void(const std::vector<MenuItemView>&)> offer;
  };

  explicit TrayMenuRequests(InputQueue& input) : input_(input) {}

  // The menu is learnt again when the program is next idle; one request
  // per `owner` is kept, the newest.
  void learnWhenIdle(const void* owner, Request request);
  void forget(const void* owner);
  // The user chose `command` in the panel's drawing of the menu.
  void choose(const void* owner, Request request, UINT command);

  // The program waits in its own loop with nothing queued.
  void idle();
  // Whether the menu the program opens is one a request expected; it is
  // then answered, and not to be shown.
  bool answer(const PopupMenuView& menu);

 private:
  struct Expected {
    const void* owner;
    Request request;
    UINT command;  // 0: dismissed
  };
  void ask(const void* owner, Request request, UINT command);

  InputQueue& input_;
  std::set<const void*> owners_;  // not forgotten
  std::map<const void*, Request> wanted_;
  std::optional<Expected> expected_;
};

}  // namespace gtk
}  // namespace platform
