// A drag of one picture through the virtual pointer, as a user's mouse
// gives it: the button held, the pointer moving one pixel at a time at a
// steady rate, down and to the right and back. The picture's place is read
// from the frames of the output: the rightmost column of one row that is
// not the bare desktop is its right edge, since nothing else is shown to
// the right of the pictures of write_benchmark_pictures.
#pragma once

#include <string>
#include <vector>

#include "ChildProcess.h"
#include "ScreenWatch.h"

namespace waylandtiming {

struct DragFigures {
  int moves = 0;              // motion events sent, each one a pixel
  long handled = 0;           // WM_MOUSEMOVE lines the program wrote meanwhile
  double cpuNanoseconds = 0;  // the presenter's, from the first motion until it caught up
  double seconds = 0;         // wall time of the same span
  bool arrived = false;       // the picture ended where the pointer took it
  int frames = 0;             // frames of the output looked at
  // For each motion event whose place the picture reached, the
  // milliseconds from sending it until a frame showing the picture there
  // (or further on: the presenter may skip places it is behind on) was
  // presented.
  std::vector<double> latencies;
};

struct DragPath {
  ScreenPoint place;  // the picture's top left
  int width;          // the picture's
  ScreenPoint grab;   // where the button goes down
  int row;            // the row read, inside the picture all along the path
  int moves;
  int reach;          // the pointer goes `reach` pixels out, then back
  double interval;    // seconds between motion events
};

// `bareRow` is the desktop's row `rowRead` with nothing on it. `stderrFile` is the
// presenter's; with `logsMessages` it holds the program's debugger lines,
// which tell when it took the press and how many moves it handled.
DragFigures dragPicture(ScreenWatch& watch, desktoptiming::ChildProcess& presenter, const std::string& stderrFile,
                        bool logsMessages, const DragPath& path, const Snapshot& bareRow);

// The row `dragPicture` reads: from the picture's right edge (less a
// margin) to the output's right edge.
Box rowRead(const DragPath& path, int outputWidth);

}  // namespace waylandtiming
