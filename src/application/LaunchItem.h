// One launcher entry that made it into the menu: its command id and the path
// it opens with the shell.
#pragma once

#include <cstdint>
#include <string>

struct LaunchItem {
  int32_t commandId;
  std::string path;
};
