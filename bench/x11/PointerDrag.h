// A drag of one picture through XTEST, as a user's mouse gives it: the
// button held, the pointer moving one pixel at a time at a steady rate.
// Whether the program paints the picture again while it moves is not read
// here: the X server reports damage on a window that moves under a
// compositor whether or not its owner draws. A uprobe on the host's one
// paint call tells (perf probe -x libcairo.so.2 cairo_paint_with_alpha);
// it needs root and changes the kernel's probe list, so it is done by hand.
#pragma once

#include <X11/Xlib.h>

#include <string>
#include <vector>

#include "ChildProcess.h"
#include "PictureWatch.h"

namespace desktoptiming {

struct DragFigures {
  int moves = 0;               // motion events sent, each one a pixel
  long handled = 0;            // WM_MOUSEMOVE lines the program wrote meanwhile
  double cpuNanoseconds = 0;   // the program's, from the first motion until it caught up
  double seconds = 0;          // wall time of the same span
  bool arrived = false;        // the picture ended where the pointer took it
  // For each motion event whose place the window reached, the milliseconds
  // from sending it until the watch saw the window's frame there (or
  // further on: the presenter may skip places it is behind on).
  std::vector<double> latencies;
};

// Grabs the picture whose top left is `place`, at `grab`, and moves the
// pointer `moves` times, one every `interval` seconds, up and left by one
// pixel a move for `reach` moves and back. `stderrFile` is the presenter's;
// with `logsMessages` it holds the program's debugger lines, which tell when
// it took the press and how many moves it handled.
DragFigures dragPicture(PictureWatch& watch, ChildProcess& program, const std::string& stderrFile,
                        bool logsMessages, ScreenPoint place, ScreenPoint grab, int moves, int reach,
                        double interval);

}  // namespace desktoptiming
