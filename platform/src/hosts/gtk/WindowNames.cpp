#include "hosts/gtk/WindowNames.h"

#include <X11/Xlib-xcb.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>

namespace platform {
namespace gtk {

namespace {

std::string lowercase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](char character) { return character >= 'A' && character <= 'Z' ? character - 'A' + 'a' : character; });
  return text;
}

// An X atom's name is at most this long: a longer one cannot be asked for.
const std::size_t kLongestAtomName = 0xFFFF;

std::vector<std::string> difference(const std::set<std::string>& from, const std::set<std::string>& without) {
  std::vector<std::string> left;
  std::set_difference(from.begin(), from.end(), without.begin(), without.end(), std::back_inserter(left));
  return left;
}

}  // namespace

std::string windowSelectionName(const std::string& className, const std::string& title) {
  return "_WIN32_WINDOW " + std::to_string(className.size()) + " " + lowercase(className) + " " + lowercase(title);
}

WindowNames::WindowNames(Display* display)
    : display_(display),
      connection_(XGetXCBConnection(display)),
      owner_(XCreateSimpleWindow(display, DefaultRootWindow(display), -1, -1, 1, 1, 0, 0, 0)) {}

// The server lets go of every name with the window that owns them.
WindowNames::~WindowNames() {
  if (idle_) {
    g_source_remove(idle_);
  }
  XDestroyWindow(display_, owner_);
  XFlush(display_);
}

// Untitled windows are never looked for by another program: they take no
// selection, and no atom is made for each. Nor do titles too long for one.
void WindowNames::publish(HWND window, const std::string& className, const std::string& title) {
  if (title.empty()) {
    return;
  }
  std::string name = windowSelectionName(className, title);
  if (name.size() > kLongestAtomName) {
    return;
  }
  windows_[window] = name;
  settleLater();
}

void WindowNames::withdraw(HWND window) {
  if (windows_.erase(window) > 0) {
    settleLater();
  }
}

// A name we hold is ours whether a window or a lookup claimed it. Nobody
// can hold a name longer than an atom's.
bool WindowNames::othersHave(const std::string& className, const std::string& title) {
  std::string name = windowSelectionName(className, title);
  if (name.size() > kLongestAtomName) {
    return false;
  }
  if (held_.count(name) == 0) {
    exchange({name}, {});
  }
  return held_.count(name) == 0;
}

void WindowNames::settleLater() {
  if (!idle_) {
    idle_ = g_idle_add(onIdle, this);
  }
}

gboolean WindowNames::onIdle(gpointer self) {
  WindowNames& names = *static_cast<WindowNames*>(self);
  names.idle_ = 0;
  names.settle();
  return G_SOURCE_REMOVE;
}

// A name another program holds is not taken from it, and one that is no
// longer ours is left to whoever holds it. Another of our windows may
// still want a name a destroyed one had: it keeps it.
void WindowNames::settle() {
  std::set<std::string> wanted;
  for (const auto& window : windows_) {
    wanted.insert(window.second);
  }
  exchange(difference(wanted, held_), difference(published_, wanted));
  published_.clear();
  std::set_intersection(wanted.begin(), wanted.end(), held_.begin(), held_.end(),
                        std::inserter(published_, published_.end()));
}

// Every owner is asked for before any answer is read, so a hundred names
// cost one wait for the server, as one does. With the server grabbed
// nobody else can take a free name between the question and the claim.
void WindowNames::exchange(const std::vector<std::string>& claims, const std::vector<std::string>& releases) {
  if (claims.empty() && releases.empty()) {
    return;
  }
  std::vector<std::string> names(claims);
  names.insert(names.end(), releases.begin(), releases.end());
  std::vector<xcb_atom_t> atoms = atomsOf(names);
  xcb_grab_server(connection_);
  std::vector<xcb_get_selection_owner_cookie_t> questions;
  for (xcb_atom_t atom : atoms) {
    questions.push_back(xcb_get_selection_owner(connection_, atom));
  }
  for (std::size_t index = 0; index < names.size(); ++index) {
    xcb_get_selection_owner_reply_t* answer = xcb_get_selection_owner_reply(connection_, questions[index], nullptr);
    xcb_window_t owner = answer ? answer->owner : XCB_NONE;
    std::free(answer);
    bool claiming = index < claims.size();
    if (claiming && owner == XCB_NONE) {
      xcb_set_selection_owner(connection_, owner_, atoms[index], XCB_CURRENT_TIME);
      held_.insert(names[index]);
    } else if (claiming && owner == owner_) {
      held_.insert(names[index]);
    } else if (!claiming && owner == owner_) {
      xcb_set_selection_owner(connection_, XCB_NONE, atoms[index], XCB_CURRENT_TIME);
      held_.erase(names[index]);
    } else if (!claiming) {
      held_.erase(names[index]);
    }
  }
  xcb_ungrab_server(connection_);
  xcb_flush(connection_);
}

// Each name's atom is asked for once, all of them before any answer.
std::vector<xcb_atom_t> WindowNames::atomsOf(const std::vector<std::string>& names) {
  std::vector<std::pair<std::string, xcb_intern_atom_cookie_t>> questions;
  for (const std::string& name : names) {
    if (atoms_.count(name) == 0) {
      questions.emplace_back(name, xcb_intern_atom(connection_, 0, static_cast<uint16_t>(name.size()), name.c_str()));
    }
  }
  for (const auto& question : questions) {
    xcb_intern_atom_reply_t* answer = xcb_intern_atom_reply(connection_, question.second, nullptr);
    atoms_[question.first] = answer ? answer->atom : XCB_NONE;
    std::free(answer);
  }
  std::vector<xcb_atom_t> atoms;
  for (const std::string& name : names) {
    atoms.push_back(atoms_[name]);
  }
  return atoms;
}

}  // namespace gtk
}  // namespace platform
