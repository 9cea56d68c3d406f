// What the bad-input scenarios share: one run of the program that answers its
// failure boxes, looks at the desktop and ends it through Exit, and what that
// run left behind.
#pragma once

#include <string>
#include <vector>

#include "ProgramFixture.h"

namespace badinput {

// One picture window as the run saw it before Exit.
struct PictureSeen {
  bool visible = false;
  RECT rect = {};
  int constantAlpha = -1;  // -1 for a window without layer content, or when the run did not read layers
};

struct Outcome {
  int exitCode = 0;
  std::vector<std::string> boxes;   // "caption|text" of every message box, in order
  std::vector<PictureSeen> pictures;  // by picture index (the N of ChildWindowN)
  std::string launcher;               // the root launcher menu, rendered; "none" without one
  std::size_t launchEntries = 0;      // entries with a command id
  std::vector<std::string> debugLines;  // what the program told the debugger, without the lookup trace
  platform::desktop::ObjectCounts afterRun;
};

// "caption|text" of the message box that ends the program on a failure.
std::string failureBox(const std::string& text);
// "load error|<path>の読み込みに失敗しました", a picture's failure box.
std::string pictureBox(const std::string& path);

class BadInputFixture : public ProgramFixture {
 protected:
  // Runs the program: presses OK on `failureBoxes` boxes, looks at the
  // desktop once the load has finished, then chooses Exit. A run that ends
  // in a failure presses OK on its box too (count it in `failureBoxes`).
  Outcome runAndExit(std::size_t failureBoxes = 0);

  // The same, with the user's steps queued by `act` after the start-up load.
  template <typename Act>
  Outcome runAndExit(std::size_t failureBoxes, Act act) {
    act();
    return runAndExit(failureBoxes);
  }

  // Whether the look reads each picture's layer (a copy of all its pixels).
  bool readLayers_ = false;
};

}  // namespace badinput
