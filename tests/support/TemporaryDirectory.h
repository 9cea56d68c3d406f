// A fresh directory of a test's own as the current directory: the program
// and the XML library read their settings file by its relative name.
#pragma once

#include <filesystem>
#include <string>

namespace testsupport {

// Creates a new, uniquely named directory under the system's temporary
// directory and makes it the current directory. Destroying the object makes
// the previous directory current again and removes the new one with
// everything in it. Construction throws std::filesystem::filesystem_error,
// naming the path and the reason, when either step fails.
class TemporaryDirectory {
 public:
  // `label` becomes part of the directory's name ("tessaline-<label>-..."),
  // so a directory left behind by a crash says who made it.
  explicit TemporaryDirectory(const std::string& label);
  ~TemporaryDirectory();

  TemporaryDirectory(const TemporaryDirectory&) = delete;
  TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path previousDirectory_;
  std::filesystem::path path_;
};

}  // namespace testsupport
