// What the user's actions cost once the pictures are shown: a Reload, which
// loads and composes every picture again, and one step of a drag, where the
// picture's window moves with its layer and nothing is drawn again. Both run
// the real WinMain on the scripted host; its start-up and exit are not timed.
#include <windows.h>
#include <benchmark/benchmark.h>
#include <platform/desktop.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "BenchmarkPictures.h"
#include "support/TemporaryDirectory.h"

namespace {

namespace desktop = platform::desktop;
namespace script = platform::script;
using platform::MouseButton;

const int kDragMoves = 10000;
// The cursor walks this far up and left from where it grabbed the picture
// and back, one pixel a move, so that every move is a move.
const int kDragReach = 100;

// The picture files, written once into a directory of their own that stays
// current until the process ends; config.xml is written there by each
// benchmark for its number of pictures.
class PictureFiles {
 public:
  static void ensure() { static PictureFiles files; }

 private:
  PictureFiles() : directory_("bench-reload-drag") { benchsupport::writePictures(benchsupport::kMostPictures); }

  testsupport::TemporaryDirectory directory_;
};

int runProgram() {
  char commandLine[] = "";
  return WinMain(GetModuleHandleA(NULL), NULL, commandLine, SW_SHOWDEFAULT);
}

void chooseFromSystemMenu(const char* item) {
  script::clickTrayIcon(MouseButton::right);
  script::chooseMenuItem(item);
}

void freshDesktop() {
  desktop::reset();
  desktop::setEcho(false);
}

// Runs the program with a script step that queues one `action` and then
// itself again for as long as the benchmark asks for iterations, and
// `finish` after the last. The time between two calls of KeepRunning is then
// one action carried out by the program. Steps queued before stay first.
int runActions(benchmark::State& state, const std::function<void()>& action, const std::function<void()>& finish) {
  std::function<void()> step = [&] {
    if (state.KeepRunning()) {
      action();
      script::then(step);
    } else {
      finish();
      chooseFromSystemMenu("Exit");
    }
  };
  script::then(step);
  return runProgram();
}

std::string classOf(HWND window) {
  char name[256] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

// The program's picture window of that index: its class is ChildWindow<index>.
HWND findPicture(int index) { return FindWindowA(("ChildWindow" + std::to_string(index)).c_str(), NULL); }

int shownPictures() {
  std::vector<HWND> windows = desktop::windows();
  return static_cast<int>(std::count_if(windows.begin(), windows.end(), [](HWND window) {
    return classOf(window).rfind("ChildWindow", 0) == 0 && IsWindowVisible(window);
  }));
}

void reportPerPicture(benchmark::State& state) {
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.counters["per_picture"] = benchmark::Counter(
      static_cast<double>(state.range(0)), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Reload from the system menu, the settings unchanged.
void reloadWithPictures(benchmark::State& state) {
  PictureFiles::ensure();
  int pictures = static_cast<int>(state.range(0));
  benchsupport::writeSettings(pictures);
  int shown = -1;
  freshDesktop();
  int exitCode = runActions(
      state, [] { chooseFromSystemMenu("Reload"); }, [&] { shown = shownPictures(); });
  if (exitCode != 0 || shown != pictures || !desktop::messageBoxes().empty()) {
    std::string error = "expected exit code 0 and " + std::to_string(pictures) +
                        " pictures shown, no message box; got " + std::to_string(exitCode) + ", " +
                        std::to_string(shown) + ", " + std::to_string(desktop::messageBoxes().size());
    state.SkipWithError(error.c_str());
    return;
  }
  reportPerPicture(state);
}
BENCHMARK(reloadWithPictures)->Arg(10)->Arg(benchsupport::kMostPictures)->MinTime(2.0)->Unit(benchmark::kMillisecond);

// Where the cursor is after `move` moves: up and left by one pixel a move
// for kDragReach moves, then back, and so on.
POINT cursorAfter(POINT grab, int move) {
  int phase = move % (2 * kDragReach);
  int offset = phase <= kDragReach ? phase : 2 * kDragReach - phase;
  return {grab.x - offset, grab.y - offset};
}

std::size_t debuggerLines(const std::string& line) {
  const std::vector<std::string>& lines = desktop::debugOutput();
  return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), line));
}

// The last picture, at the top, grabbed at its centre and dragged: each
// iteration is one mouse move handled by the picture window.
void dragPicture(benchmark::State& state) {
  PictureFiles::ensure();
  const int pictures = benchsupport::kMostPictures;
  benchsupport::writeSettings(pictures);
  const benchsupport::Placement place = benchsupport::placementOf(pictures - 1);
  const int half = benchsupport::kShownSize / 2;
  const POINT grab = {place.x + half, place.y + half};
  int moves = 0;
  RECT finalRect = {0, 0, 0, 0};

  freshDesktop();
  script::moveCursor(grab.x, grab.y);
  script::pressButton(MouseButton::left);
  int exitCode = runActions(
      state,
      [&] {
        POINT next = cursorAfter(grab, ++moves);
        script::moveCursor(next.x, next.y);
      },
      [&] {
        GetWindowRect(findPicture(pictures - 1), &finalRect);
        script::releaseButton(MouseButton::left);
      });

  // The picture went where the cursor took it, one handled move a step.
  POINT cursor = cursorAfter(grab, moves);
  LONG expectedLeft = place.x + (cursor.x - grab.x);
  LONG expectedTop = place.y + (cursor.y - grab.y);
  std::size_t handled = debuggerLines("WM_MOUSEMOVE\n");
  if (exitCode != 0 || finalRect.left != expectedLeft || finalRect.top != expectedTop ||
      handled != static_cast<std::size_t>(moves)) {
    std::string error = "expected exit code 0, the picture at (" + std::to_string(expectedLeft) + ", " +
                        std::to_string(expectedTop) + ") and " + std::to_string(moves) + " moves handled; got " +
                        std::to_string(exitCode) + ", (" + std::to_string(finalRect.left) + ", " +
                        std::to_string(finalRect.top) + ") and " + std::to_string(handled);
    state.SkipWithError(error.c_str());
    return;
  }
  state.SetItemsProcessed(state.iterations());
}
// Each repetition is one drag of kDragMoves moves; the median is the figure.
BENCHMARK(dragPicture)
    ->Iterations(kDragMoves)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
