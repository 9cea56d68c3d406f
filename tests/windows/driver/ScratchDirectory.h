// A fresh directory under the temporary folder for one scenario: the
// program's current directory, holding the settings file the scenario wrote
// and whatever the programs it started left there. All of it goes with the
// object.
#pragma once

#include <string>

class ScratchDirectory {
 public:
  ScratchDirectory();
  ~ScratchDirectory();
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  const std::string& path() const { return path_; }
  // Writes the bytes as they are; returns false when the file cannot be made.
  bool writeFile(const std::string& name, const std::string& bytes);
  // Copies a file of elsewhere into the directory under the given name.
  bool copyFile(const std::string& source, const std::string& name);
  bool hasFile(const std::string& name) const;

 private:
  std::string path_;
};
