// The first start from the desktop's menu: the user's settings folder is
// made from the example installed with the program, so a fresh account sees
// something, and the folder is the user's to edit from then on.
#pragma once

#include <string>

namespace firststart {

// ${XDG_CONFIG_HOME:-$HOME/.config}/tessaline, as the XDG base directories
// have it: a relative XDG_CONFIG_HOME is ignored.
std::string userSettingsFolder();

// share/tessaline/example beside the program's bin folder: where the package
// installs it, and where the build tree stages it. `invokedAs` is argv[0],
// for where /proc cannot say which program runs.
std::string installedExample(const std::string& invokedAs);

enum class Outcome {
  existed,  // left as it is, whatever it holds
  made,     // a copy of the example
  failed,   // nothing made; `why` says what went wrong
};

// Makes `folder` a copy of `example` when nothing of that name exists,
// with the folders above it. The copy is made beside it under a temporary
// name and renamed into place, so a half-made copy never stands as the
// user's folder.
Outcome makeFromExample(const std::string& folder, const std::string& example, std::string& why);

}  // namespace firststart
