#include "hosts/wayland/LockFileNames.h"

#include <fcntl.h>
#include <glib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

namespace platform {
namespace wayland {

namespace {

// File names have a limit; a name past it keeps its start and a hash of
// the whole.
const std::size_t kLongestFileName = 200;

void makeFolders(const std::string& path) {
  for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
    mkdir(path.substr(0, slash).c_str(), 0700);
  }
  mkdir(path.c_str(), 0700);
}

}  // namespace

LockFileNames::LockFileNames(std::string folder) : folder_(std::move(folder)) { makeFolders(folder_); }

LockFileNames::~LockFileNames() {
  for (const auto& entry : held_) {
    close(entry.second);
  }
}

std::string LockFileNames::sessionFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  const char* display = std::getenv("WAYLAND_DISPLAY");
  std::string base = runtime && *runtime ? runtime : "/tmp/tessaline-" + std::to_string(getuid());
  std::string session = display && *display ? display : "wayland-0";
  for (char& character : session) {
    if (character == '/') {
      character = '_';
    }
  }
  return base + "/tessaline/" + session;
}

std::string LockFileNames::fileName(const std::string& className, const std::string& title) {
  std::string whole = className + "\n" + title;
  std::string name;
  for (unsigned char character : whole) {
    if (character >= 'A' && character <= 'Z') {
      name += static_cast<char>(character - 'A' + 'a');
    } else if ((character >= 'a' && character <= 'z') || (character >= '0' && character <= '9') ||
               character == '-' || character == '_') {
      name += static_cast<char>(character);
    } else {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", character);
      name += escaped;
    }
  }
  if (name.size() > kLongestFileName) {
    name = name.substr(0, kLongestFileName - 21) + "-" + std::to_string(std::hash<std::string>()(name));
  }
  return name;
}

// Untitled windows (the pictures) are never looked for by another program:
// they take no name.
void LockFileNames::publish(HWND window, const std::string& className, const std::string& title) {
  if (title.empty()) {
    return;
  }
  std::string name = fileName(className, title);
  if (claim(name)) {
    published_[window] = name;
  }
}

// Another of our windows may hold the same name still: it keeps it.
void LockFileNames::withdraw(HWND window) {
  auto found = published_.find(window);
  if (found == published_.end()) {
    return;
  }
  std::string name = found->second;
  published_.erase(found);
  for (const auto& other : published_) {
    if (other.second == name) {
      return;
    }
  }
  release(name);
}

bool LockFileNames::othersHave(const std::string& className, const std::string& title) {
  return !claim(fileName(className, title));
}

// The file stays: removing it could let two programs lock two different
// files of one name. It is closed on exec, so a program we launch, which
// outlives us, never holds our names.
bool LockFileNames::claim(const std::string& name) {
  if (held_.count(name)) {
    return true;
  }
  int file = open((folder_ + "/" + name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (file < 0) {
    std::fprintf(stderr, "%s: cannot tell other copies of this program apart: %s/%s: %s\n", g_get_prgname(),
                 folder_.c_str(), name.c_str(), std::strerror(errno));
    return true;
  }
  if (flock(file, LOCK_EX | LOCK_NB) != 0) {
    close(file);
    return false;
  }
  held_[name] = file;
  return true;
}

void LockFileNames::release(const std::string& name) {
  auto found = held_.find(name);
  if (found != held_.end()) {
    close(found->second);
    held_.erase(found);
  }
}

}  // namespace wayland
}  // namespace platform
