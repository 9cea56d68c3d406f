// One launcher entry that made it into the menu: its command id and the path
// it opens with the shell.
#pragma once

#include <cstdint>
#include <string>

struct LaunchItem {
  std::int32_t commandId;
  std::string path;
};

// The command id the next launcher entry gets: 1000 at program start, never
// reset, so ids are handed out once per run, also across Reloads.
extern std::int32_t nextCommandId;
