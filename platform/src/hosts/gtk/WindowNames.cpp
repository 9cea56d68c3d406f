#include "hosts/gtk/WindowNames.h"

#include <algorithm>

namespace platform {
namespace gtk {

namespace {

std::string lowercase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](char character) { return character >= 'A' && character <= 'Z' ? character - 'A' + 'a' : character; });
  return text;
}

}  // namespace

std::string windowSelectionName(const std::string& className, const std::string& title) {
  return "_WIN32_WINDOW " + std::to_string(className.size()) + " " + lowercase(className) + " " + lowercase(title);
}

WindowNames::WindowNames(Display* display)
    : display_(display),
      owner_(XCreateSimpleWindow(display, DefaultRootWindow(display), -1, -1, 1, 1, 0, 0, 0)) {}

WindowNames::~WindowNames() {
  while (!published_.empty()) {
    withdraw(published_.begin()->first);
  }
  XDestroyWindow(display_, owner_);
  XFlush(display_);
}

// Untitled windows are never looked for by another program: they take no
// selection, and no atom is made for each. A name another program holds is
// not taken from it. Windows of one class and title (a program's pictures)
// share one name: once one of ours holds it, the next is only counted in,
// without asking the server again for each window.
void WindowNames::publish(HWND window, const std::string& className, const std::string& title) {
  if (title.empty()) {
    return;
  }
  Atom name = XInternAtom(display_, windowSelectionName(className, title).c_str(), False);
  bool ours = std::any_of(published_.begin(), published_.end(),
                          [name](const auto& other) { return other.second == name; });
  if (ours || claim(name)) {
    published_[window] = name;
  }
}

// Another of our windows may hold the same name still: it keeps it. A name
// that is no longer ours is left to whoever holds it.
void WindowNames::withdraw(HWND window) {
  auto found = published_.find(window);
  if (found == published_.end()) {
    return;
  }
  Atom name = found->second;
  published_.erase(found);
  for (const auto& other : published_) {
    if (other.second == name) {
      return;
    }
  }
  XGrabServer(display_);
  if (XGetSelectionOwner(display_, name) == owner_) {
    XSetSelectionOwner(display_, name, None, CurrentTime);
  }
  XUngrabServer(display_);
  XFlush(display_);
}

bool WindowNames::othersHave(const std::string& className, const std::string& title) {
  return !claim(XInternAtom(display_, windowSelectionName(className, title).c_str(), False));
}

// With the server grabbed nobody else can take a free name between the
// question and the claim, and a claim at CurrentTime is never too early:
// one round trip.
bool WindowNames::claim(Atom name) {
  XGrabServer(display_);
  ::Window owner = XGetSelectionOwner(display_, name);
  if (owner == None) {
    XSetSelectionOwner(display_, name, owner_, CurrentTime);
    owner = owner_;
  }
  XUngrabServer(display_);
  XFlush(display_);
  return owner == owner_;
}

}  // namespace gtk
}  // namespace platform
