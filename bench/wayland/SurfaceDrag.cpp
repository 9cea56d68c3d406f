#include "SurfaceDrag.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <stdexcept>

namespace waylandtiming {

using desktoptiming::now;
using desktoptiming::sleepFor;

namespace {

const int kEdgeMargin = 50;

long linesIn(const std::string& file, const std::string& wanted) {
  std::ifstream stream(file);
  std::string line;
  long count = 0;
  while (std::getline(stream, line)) {
    count += line == wanted;
  }
  return count;
}

int offsetAfter(int move, int reach) {
  int phase = move % (2 * reach);
  return phase <= reach ? phase : 2 * reach - phase;
}

ScreenPoint pointerAfter(const DragPath& path, int move) {
  int offset = offsetAfter(move, path.reach);
  return ScreenPoint{path.grab.x + offset, path.grab.y + offset};
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

// How far right of its starting place the frame shows the picture, or a
// large negative number when nothing differs from the bare row.
int offsetShown(const Frame& frame, const Snapshot& bareRow, const DragPath& path) {
  for (int x = frame.box.x + frame.box.width - 1; x >= frame.box.x; --x) {
    std::uint32_t shown = frame.at(x, frame.box.y), bare = bareRow.at(x, frame.box.y);
    if (!sameSamples({bare}, {shown})) {
      return x - (path.place.x + path.width - 1);
    }
  }
  return -1000000;
}

}  // namespace

Box rowRead(const DragPath& path, int outputWidth) {
  int left = path.place.x + path.width - kEdgeMargin;
  return Box{left, path.row, outputWidth - left, 1};
}

DragFigures dragPicture(ScreenWatch& watch, desktoptiming::ChildProcess& presenter, const std::string& stderrFile,
                        bool logsMessages, const DragPath& path, const Snapshot& bareRow) {
  WaylandConnection& connection = watch.connection();
  const Box row = bareRow.box;
  int before = offsetShown(connection.capture(row), bareRow, path);
  if (before != 0) {
    throw std::runtime_error("the picture to drag is not at its place: expected its right edge at x " +
                             std::to_string(path.place.x + path.width - 1) + ", got " +
                             std::to_string(path.place.x + path.width - 1 + before));
  }
  DragFigures figures;
  figures.moves = path.moves;
  connection.moveTo(path.grab.x, path.grab.y);
  connection.roundTrip();
  sleepFor(0.1);
  connection.setLeftButton(true);
  connection.roundTrip();
  if (logsMessages && !waitFor([&] { return linesIn(stderrFile, "WM_LBUTTONDOWN") > 0; }, 5)) {
    throw std::runtime_error("the program did not take the button press");
  }
  sleepFor(0.3);

  // Each frame settles every move sent before it that led to the place it
  // shows; the newest such move is searched from the last one back.
  std::vector<double> sentAt(static_cast<std::size_t>(path.moves) + 1, 0);
  std::size_t settled = 0, sent = 0;
  auto look = [&] {
    const Frame& frame = connection.frame();
    ++figures.frames;
    int offset = offsetShown(frame, bareRow, path);
    for (std::size_t move = sent; move > settled; --move) {
      if (sentAt[move] <= frame.presentedAt && offsetAfter(static_cast<int>(move), path.reach) == offset) {
        for (std::size_t done = settled + 1; done <= move; ++done) {
          figures.latencies.push_back((frame.presentedAt - sentAt[done]) * 1000);
        }
        settled = move;
        break;
      }
    }
    return offset;
  };

  long handledBefore = logsMessages ? linesIn(stderrFile, "WM_MOUSEMOVE") : 0;
  double cpuBefore = presenter.cpuNanoseconds();
  double started = now();
  connection.requestFrame(row);
  for (int move = 1; move <= path.moves; ++move) {
    sentAt[static_cast<std::size_t>(move)] = now();
    sent = static_cast<std::size_t>(move);
    ScreenPoint pointer = pointerAfter(path, move);
    connection.moveTo(pointer.x, pointer.y);
    double due = started + move * path.interval;
    for (double left = due - now(); left > 0; left = due - now()) {
      if (connection.pump(std::ceil(left * 1000) / 1000)) {
        look();
        connection.requestFrame(row);
      }
    }
  }
  // Done when the picture is where the pointer took it.
  int last = offsetAfter(path.moves, path.reach);
  double until = now() + 5;
  while (!figures.arrived && now() < until) {
    if (connection.pump(0.1)) {
      figures.arrived = look() == last;
      connection.requestFrame(row);
    }
  }
  // What the presenter does for the last move follows its arrival closely.
  until = now() + 0.05;
  while (now() < until) {
    if (connection.pump(until - now())) {
      connection.requestFrame(row);
    }
  }
  while (!connection.pump(0.1)) {
  }
  figures.seconds = now() - started;
  figures.cpuNanoseconds = presenter.cpuNanoseconds() - cpuBefore;
  figures.handled = logsMessages ? linesIn(stderrFile, "WM_MOUSEMOVE") - handledBefore : -1;

  connection.setLeftButton(false);
  connection.roundTrip();
  sleepFor(0.2);
  return figures;
}

}  // namespace waylandtiming
