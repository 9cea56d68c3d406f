#include "support/TemporaryDirectory.h"

#include <stdlib.h>

#include <cerrno>
#include <cstdio>
#include <system_error>
#include <vector>

namespace testsupport {

namespace {

// mkdtemp picks the unique name and creates the directory in one step, so
// two processes (ctest runs tests in parallel) never share one.
std::filesystem::path makeUniqueDirectory(const std::string& label) {
  std::string pattern = (std::filesystem::temp_directory_path() / ("tessaline-" + label + "-XXXXXX")).string();
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (mkdtemp(buffer.data()) == nullptr) {
    throw std::filesystem::filesystem_error("could not create a temporary directory", pattern,
                                            std::error_code(errno, std::generic_category()));
  }
  return buffer.data();
}

}  // namespace

TemporaryDirectory::TemporaryDirectory(const std::string& label)
    : previousDirectory_(std::filesystem::current_path()), path_(makeUniqueDirectory(label)) {
  std::error_code error;
  std::filesystem::current_path(path_, error);
  if (error) {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
    throw std::filesystem::filesystem_error("could not enter the temporary directory", path_, error);
  }
}

// A destructor cannot fail the test, so a leftover is reported on standard
// error instead: the next run gets a directory of its own anyway.
TemporaryDirectory::~TemporaryDirectory() {
  std::error_code error;
  std::filesystem::current_path(previousDirectory_, error);
  if (error) {
    std::fprintf(stderr, "could not return to %s: %s\n", previousDirectory_.c_str(), error.message().c_str());
  }
  std::filesystem::remove_all(path_, error);
  if (error) {
    std::fprintf(stderr, "could not remove %s: %s\n", path_.c_str(), error.message().c_str());
  }
}

}  // namespace testsupport
