// The program's titled top-level windows made known to the other programs
// of the same Wayland session, so that a second copy's FindWindowA finds the
// first copy's window. Wayland shares nothing like X selections between
// clients, so each name is a lock on a file of its own in the session's
// runtime folder: the kernel drops the lock when the program ends, however
// it ends, and taking it is one atomic step, so of two copies that start at
// the same instant exactly one gets it.
//
// Looking for a name that nobody holds claims it, as on X11; the claim is
// held until the window of that name is destroyed or the program ends.
#pragma once

#include <windows.h>

#include <map>
#include <string>

namespace platform {
namespace wayland {

class LockFileNames {
 public:
  // `folder` is made when missing (mode 0700).
  explicit LockFileNames(std::string folder);
  ~LockFileNames();
  LockFileNames(const LockFileNames&) = delete;
  LockFileNames& operator=(const LockFileNames&) = delete;

  // The folder of the session WAYLAND_DISPLAY names, in XDG_RUNTIME_DIR.
  static std::string sessionFolder();
  // The file a name locks: class and title without case, as FindWindowA
  // compares them, made safe as one file name.
  static std::string fileName(const std::string& className, const std::string& title);

  void publish(HWND window, const std::string& className, const std::string& title);
  void withdraw(HWND window);
  bool othersHave(const std::string& className, const std::string& title);

 private:
  // Whether the name is ours now; taken only when nobody held it.
  bool claim(const std::string& name);
  void release(const std::string& name);

  std::string folder_;
  std::map<std::string, int> held_;  // name → the locked file
  std::map<HWND, std::string> published_;
};

}  // namespace wayland
}  // namespace platform
