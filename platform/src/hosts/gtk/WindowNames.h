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
#pragma once

#include <windows.h>

#include <X11/Xlib.h>

#include <map>
#include <string>

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
  // Whether the name is ours now; taken only when nobody held it.
  bool claim(Atom name);

  Display* display_;
  ::Window owner_;
  std::map<HWND, Atom> published_;
};

}  // namespace gtk
}  // namespace platform
