#include "linux/FirstStart.h"

#include <pwd.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

namespace firststart {

namespace fs = std::filesystem;

namespace {

std::string homeFolder() {
  const char* home = getenv("HOME");
  if (home && *home) {
    return home;
  }
  const passwd* account = getpwuid(getuid());
  return account && account->pw_dir ? account->pw_dir : "/";
}

// mkdtemp's name beside the final one: a rename within one folder is atomic.
std::string makeTemporaryBeside(const fs::path& folder, std::string& why) {
  std::string pattern = (folder.parent_path() / ("." + folder.filename().string() + "-XXXXXX")).string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (!mkdtemp(name.data())) {
    why = "cannot make a folder in " + folder.parent_path().string() + ": " + std::strerror(errno);
    return "";
  }
  return name.data();
}

// Where a shell found the program, for a system without /proc (a chroot):
// a name with a folder is taken as it is, a bare one from PATH.
fs::path whereIs(const std::string& invokedAs) {
  if (invokedAs.find('/') != std::string::npos) {
    return fs::absolute(invokedAs);
  }
  const char* path = getenv("PATH");
  std::string folders = path ? path : "";
  for (std::size_t start = 0, end = 0; start <= folders.size(); start = end + 1) {
    end = std::min(folders.find(':', start), folders.size());
    fs::path candidate = fs::path(folders.substr(start, end - start)) / invokedAs;
    if (end > start && access(candidate.c_str(), X_OK) == 0) {
      return candidate;
    }
  }
  return invokedAs;
}

}  // namespace

std::string userSettingsFolder() {
  const char* configHome = getenv("XDG_CONFIG_HOME");
  std::string base = configHome && configHome[0] == '/' ? configHome : homeFolder() + "/.config";
  return base + "/tessaline";
}

std::string installedExample(const std::string& invokedAs) {
  std::error_code error;
  fs::path program = fs::read_symlink("/proc/self/exe", error);
  if (error) {
    program = whereIs(invokedAs);
  }
  return (program.parent_path().parent_path() / "share" / "tessaline" / "example").string();
}

Outcome makeFromExample(const std::string& folder, const std::string& example, std::string& why) {
  struct stat status;
  if (lstat(folder.c_str(), &status) == 0) {
    return Outcome::existed;
  }
  if (errno != ENOENT) {
    why = "cannot look at " + folder + ": " + std::strerror(errno);
    return Outcome::failed;
  }
  fs::path target = fs::path(folder).lexically_normal();
  std::error_code error;
  fs::create_directories(target.parent_path(), error);
  if (error) {
    why = "cannot make " + target.parent_path().string() + ": " + error.message();
    return Outcome::failed;
  }
  std::string temporary = makeTemporaryBeside(target, why);
  if (temporary.empty()) {
    return Outcome::failed;
  }
  std::error_code ignored;
  if (!fs::is_regular_file(fs::path(example) / "config.xml", error)) {
    why = "the example " + example + " has no config.xml";
  } else {
    fs::copy(example, temporary, fs::copy_options::recursive, error);
    if (error) {
      why = "cannot copy the example " + example + ": " + error.message();
    } else if (rename(temporary.c_str(), target.c_str()) == 0) {
      return Outcome::made;
    } else if (errno == EEXIST || errno == ENOTEMPTY) {
      // Another start made it meanwhile: that one is the user's now.
      fs::remove_all(temporary, ignored);
      return Outcome::existed;
    } else {
      why = "cannot rename " + temporary + " to " + folder + ": " + std::strerror(errno);
    }
  }
  fs::remove_all(temporary, ignored);
  return Outcome::failed;
}

}  // namespace firststart
