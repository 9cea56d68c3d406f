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

// The top-level window holding `window`: its window manager's frame, or
// itself when it is not reparented.
Window frameOf(Display* display, Window window) {
  for (;;) {
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count)) {
      return window;
    }
    if (children) {
      XFree(children);
    }
    if (parent == root || parent == 0) {
      return window;
    }
    window = parent;
  }
}

}  // namespace

DragFigures dragPicture(PictureWatch& watch, ChildProcess& program, const std::string& stderrFile,
                        bool logsMessages, ScreenPoint place, ScreenPoint grab, int moves, int reach,
                        double interval) {
  Display* display = watch.display();
  Window picture = watch.pictureAt(program.pid(), place.x, place.y);
  if (!picture) {
    throw std::runtime_error("no picture window at the place to drag from");
  }
  Window frame = frameOf(display, picture);
  XWindowAttributes frameAttributes;
  XGetWindowAttributes(display, frame, &frameAttributes);
  ScreenPoint frameStart{frameAttributes.x, frameAttributes.y};

  DragFigures figures;
  figures.moves = moves;
  movePointer(display, grab);
  XTestFakeButtonEvent(display, 1, True, CurrentTime);
  XFlush(display);
  if (logsMessages) {
    long pressed = linesIn(stderrFile, "WM_LBUTTONDOWN");
    if (!waitFor([&] { return pressed > 0 || (pressed = linesIn(stderrFile, "WM_LBUTTONDOWN")) > 0; }, 5)) {
      throw std::runtime_error("the program did not take the button press");
    }
  }
  // The grab and the raise settle before the timing starts.
  sleepFor(0.3);
  watch.pumpEvents(0);

  // Each frame move the watch sees settles every move sent so far that
  // led there; the newest such move is searched from the last one back.
  std::vector<double> sentAt(static_cast<std::size_t>(moves) + 1, 0);
  std::size_t settled = 0, sent = 0;
  watch.configured = [&](Window window, int x, int y) {
    if (window != frame) {
      return;
    }
    double seen = now();
    for (std::size_t move = sent; move > settled; --move) {
      ScreenPoint pointer = pointerAfter(grab, static_cast<int>(move), reach);
      if (frameStart.x + pointer.x - grab.x == x && frameStart.y + pointer.y - grab.y == y) {
        for (std::size_t done = settled + 1; done <= move; ++done) {
          figures.latencies.push_back((seen - sentAt[done]) * 1000);
        }
        settled = move;
        return;
      }
    }
  };

  long handledBefore = logsMessages ? linesIn(stderrFile, "WM_MOUSEMOVE") : 0;
  double cpuBefore = program.cpuNanoseconds();
  double started = now();
  for (int move = 1; move <= moves; ++move) {
    sentAt[static_cast<std::size_t>(move)] = now();
    sent = static_cast<std::size_t>(move);
    movePointer(display, pointerAfter(grab, move, reach));
    double due = started + move * interval;
    for (double left = due - now(); left > 0; left = due - now()) {
      watch.pumpEvents(left);
    }
  }
  // Done when the picture is where the pointer took it.
  ScreenPoint last = pointerAfter(grab, moves, reach);
  ScreenPoint expected{place.x + last.x - grab.x, place.y + last.y - grab.y};
  figures.arrived = waitFor(
      [&] {
        watch.pumpEvents(0);
        ScreenPoint now = watch.placeOf(picture);
        return now.x == expected.x && now.y == expected.y;
      },
      5);
  // What the program does for the last move follows its arrival closely.
  double until = now() + 0.05;
  while (now() < until) {
    watch.pumpEvents(until - now());
  }
  watch.configured = nullptr;
  figures.seconds = now() - started;
  figures.cpuNanoseconds = program.cpuNanoseconds() - cpuBefore;
  figures.handled = logsMessages ? linesIn(stderrFile, "WM_MOUSEMOVE") - handledBefore : -1;

  XTestFakeButtonEvent(display, 1, False, CurrentTime);
  XFlush(display);
  sleepFor(0.2);

  XSync(display, False);
  return figures;
}

}  // namespace desktoptiming
