// A fresh directory under the temporary folder for one scenario: the
// program's current directory, holding the settings file the scenario wrote.
#pragma once

#include <string>
#include <vector>

class ScratchDirectory {
 public:
  ScratchDirectory();
  ~ScratchDirectory();
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  const std::string& path() const { return path_; }
  // Writes the bytes as they are; returns false when the file cannot be made.
  bool writeFile(const std::string& name, const std::string& bytes);

 private:
  std::string path_;
  std::vector<std::string> files_;
};
