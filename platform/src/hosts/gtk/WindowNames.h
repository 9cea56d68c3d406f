// The program's titled top-level windows made known to the other programs
// on the display, so that a second copy's FindWindowA finds the first
// copy's window. Each is an X selection named after its class and title and
// owned by a hidden window of ours: the X server drops it when the program
// ends, however it ends.
//
// Looking for a name that nobody holds claims it, in one step with the
// server grabbed: of two copies that start at the same instant, exactly one
// finds the name free, and the other finds the first one's. The claim is
// held until the window of that name is destroyed or the program ends.
//
// A window's own name is claimed, and a destroyed one's given up, when the
// program next waits for input: all the windows made or destroyed since
// (a hundred pictures, a Reload) are settled together with two requests
// to the server, and a name given up and taken again in between (a Reload
// making its windows anew) is simply kept.
#pragma once

#include <windows.h>

#include <X11/Xlib.h>
#include <glib.h>
#include <xcb/xcb.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace platform {
namespace gtk {

// The selection's name: class and title without case, as FindWindowA
// compares them, the class's length first so that no two pairs share one.
std::string windowSelectionName(const std::string& className, const std::string& title);

class WindowNames {
 public:
  explicit WindowNames(Display* display);
  ~WindowNames();
  WindowNames(const WindowNames&) = delete;
  WindowNames& operator=(const WindowNames&) = delete;

  void publish(HWND window, const std::string& className, const std::string& title);
  void withdraw(HWND window);
  bool othersHave(const std::string& className, const std::string& title);

 private:
  void settleLater();
  static gboolean onIdle(gpointer self);
  void settle();
  // Takes each name of `claims` nobody holds and gives up each of
  // `releases` that is still ours, with the server grabbed.
  void exchange(const std::vector<std::string>& claims, const std::vector<std::string>& releases);
  std::vector<xcb_atom_t> atomsOf(const std::vector<std::string>& names);

  Display* display_;
  xcb_connection_t* connection_;
  ::Window owner_;
  // The titled windows and their names, as the program has them now.
  std::map<HWND, std::string> windows_;
  // The names held for windows when they were last settled.
  std::set<std::string> published_;
  // Every name we hold: the windows' and those a lookup claimed.
  std::set<std::string> held_;
  std::map<std::string, xcb_atom_t> atoms_;
  guint idle_ = 0;
};

}  // namespace gtk
}  // namespace platform
