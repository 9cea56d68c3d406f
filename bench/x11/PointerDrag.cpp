#include "PointerDrag.h"

#include <X11/extensions/XTest.h>

#include <fstream>
#include <functional>
#include <stdexcept>

namespace desktoptiming {

namespace {

long linesIn(const std::string& file, const std::string& wanted) {
  std::ifstream stream(file);
  std::string line;
  long count = 0;
  while (std::getline(stream, line)) {
    count += line == wanted;
  }
  return count;
}

ScreenPoint pointerAfter(ScreenPoint grab, int move, int reach) {
  int phase = move % (2 * reach);
  int offset = phase <= reach ? phase : 2 * reach - phase;
  return ScreenPoint{grab.x - offset, grab.y - offset};
}

void movePointer(Display* display, ScreenPoint point) {
  XTestFakeMotionEvent(display, -1, point.x, point.y, CurrentTime);
  XFlush(display);
}

bool waitFor(const std::function<bool()>& condition, double seconds) {
  double end = now() + seconds;
  while (!condition()) {
    if (now() > end) {
      return false;
    }
    sleepFor(0.005);
  }
  return true;
}

}  // namespace

DragFigures dragPicture(PictureWatch& watch, ChildProcess& program, const std::string& stderrFile,
                        ScreenPoint place, ScreenPoint grab, int moves, int reach, double interval) {
  Display* display = watch.display();
  Window picture = watch.pictureAt(program.pid(), place.x, place.y);
  if (!picture) {
    throw std::runtime_error("no picture window at the place to drag from");
  }
  DragFigures figures;
  figures.moves = moves;
  movePointer(display, grab);
  XTestFakeButtonEvent(display, 1, True, CurrentTime);
  XFlush(display);
  long pressed = linesIn(stderrFile, "WM_LBUTTONDOWN");
  if (!waitFor([&] { return pressed > 0 || (pressed = linesIn(stderrFile, "WM_LBUTTONDOWN")) > 0; }, 5)) {
    throw std::runtime_error("the program did not take the button press");
  }
  // The grab and the raise settle before the timing starts.
  sleepFor(0.3);

  long handledBefore = linesIn(stderrFile, "WM_MOUSEMOVE");
  double cpuBefore = program.cpuNanoseconds();
  double started = now();
  for (int move = 1; move <= moves; ++move) {
    movePointer(display, pointerAfter(grab, move, reach));
    double due = started + move * interval;
    double left = due - now();
    if (left > 0) {
      sleepFor(left);
    }
  }
  // Done when the picture is where the pointer took it.
  ScreenPoint last = pointerAfter(grab, moves, reach);
  ScreenPoint expected{place.x + last.x - grab.x, place.y + last.y - grab.y};
  figures.arrived = waitFor(
      [&] {
        ScreenPoint now = watch.placeOf(picture);
        return now.x == expected.x && now.y == expected.y;
      },
      5);
  // What the program does for the last move follows its arrival closely.
  sleepFor(0.05);
  figures.seconds = now() - started;
  figures.cpuNanoseconds = program.cpuNanoseconds() - cpuBefore;
  figures.handled = linesIn(stderrFile, "WM_MOUSEMOVE") - handledBefore;

  XTestFakeButtonEvent(display, 1, False, CurrentTime);
  XFlush(display);
  sleepFor(0.2);

  XSync(display, False);
  return figures;
}

}  // namespace desktoptiming
