// Times the Linux program on a real X desktop against the floor (a minimal
// presenter doing the same visible work) and against the same WinMain on
// the scripted host, each as a process of its own on the same pictures,
// for scripts/bench:
//
//   desktop_timing PROGRAM FLOOR SCRIPTED_PROGRAM DIRECTORY COUNTS_SHIM
//                  [START_UPS] [RELOADS] [IDLE_SECONDS] [DRAG_MOVES]
//
// DIRECTORY holds the 100 pictures and config.xml of write_benchmark_pictures.
// PROGRAM (tessaline) and FLOOR (floor_presenter) run with -C DIRECTORY on
// $DISPLAY, which should be composited (scripts/x-session), taking turns;
// SCRIPTED_PROGRAM (scripted_program) runs with DIRECTORY as its argument.
// For each, from the fork:
//   - start-up until every picture is shown: on X, 100 picture windows of
//     the presenter mapped and one pixel of each, on the composed screen,
//     as its own first settled run showed it; on the scripted host, its
//     first wait for input;
//   - Reload (SIGHUP on X, the same command through stdin on the scripted
//     host) until the pictures are back the same way, on X in windows
//     made or mapped again since;
//   - the resident size once the pictures are shown.
// On X also each presenter's CPU time and wake-ups over IDLE_SECONDS of
// idling, and in every run a drag of the top picture by DRAG_MOVES
// one-pixel motion events at 1 kHz (XTEST), with the time from each event
// until the window was seen at its place: one drag each would set two
// single samples minutes apart against each other. COUNTS_SHIM
// (libx_counts.so; "" for none) is preloaded into one more run of each,
// which counts the round trips to the X server and the paints of a
// start-up, a Reload and a short drag.
// Before an instance starts, the window manager has let go of every window
// of the one before, and it runs on other X ids.
//
// Prints one JSON object on stdout; exits with 1 when a measurement failed
// (the reason on stderr), 2 on a usage error.
#include <X11/Xlib.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "BenchmarkPictures.h"
#include "ChildProcess.h"
#include "PictureWatch.h"
#include "PointerDrag.h"
#include "x11/XCounts.h"

namespace {

using namespace desktoptiming;

const double kStartTimeout = 60;
const double kExitTimeout = 30;
// Long enough for the allocations that follow the first paint (GTK's
// caches, the X connection's buffers) to land before the size is read.
const double kSettleSeconds = 1.0;
const double kDragInterval = 0.001;
const int kDragReach = 100;

struct Figures {
  std::vector<double> startUps;
  std::vector<double> reloads;
  std::vector<double> startUpCpu;  // the program's own CPU time until then
  std::vector<double> reloadCpu;
  std::vector<double> mapped;      // on X: until every picture window was mapped
  std::vector<double> reloadMapped;
  long residentKiB = -1;
  long anonymousKiB = -1;
  long fileKiB = -1;
  long sharedKiB = -1;
  long residentAfterReloadsKiB = -1;
};

// A point of picture `index` that no later picture covers: the next one in
// its row starts 100 pixels to the right, the next row 60 pixels down.
ScreenPoint samplePoint(int index) {
  benchsupport::Placement place = benchsupport::placementOf(index);
  return ScreenPoint{place.x + 95, place.y + 55};
}

void readSizes(const ChildProcess& program, Figures& figures) {
  figures.residentKiB = program.statusKiB("VmRSS");
  figures.anonymousKiB = program.statusKiB("RssAnon");
  figures.fileKiB = program.statusKiB("RssFile");
  figures.sharedKiB = program.statusKiB("RssShmem");
}

void expectExit(ChildProcess& program, const char* what) {
  int status = program.waitForExit(kExitTimeout);
  if (status != 0) {
    throw std::runtime_error(std::string(what) + " ended with status " + std::to_string(status));
  }
}

// --- the scripted host ---

void expectShownLine(ChildProcess& program, int pictures, const char* after) {
  std::string line;
  if (!program.readLine(line, kStartTimeout) || line != "shown " + std::to_string(pictures)) {
    throw std::runtime_error(std::string("the scripted program after its ") + after + ": expected \"shown " +
                             std::to_string(pictures) + "\", got \"" + line + "\"");
  }
}

Figures timeScripted(const std::string& scripted, const std::string& directory, int pictures, int startUps,
                     int reloads) {
  Figures figures;
  const std::string log = directory + "/../scripted-stderr.txt";
  // The first run only warms the page cache, as on X.
  for (int run = 0; run <= startUps; ++run) {
    double started = now();
    ChildProcess program({scripted, directory}, log, true);
    expectShownLine(program, pictures, "start-up");
    if (run > 0) {
      figures.startUps.push_back((now() - started) * 1000);
      figures.startUpCpu.push_back(program.cpuNanoseconds() / 1e6);
    }
    if (run == 1) {
      sleepFor(kSettleSeconds);
      readSizes(program, figures);
      for (int reload = 0; reload < reloads; ++reload) {
        double reloadStarted = now();
        double cpu = program.cpuNanoseconds();
        program.writeLine("reload");
        expectShownLine(program, pictures, "Reload");
        figures.reloads.push_back((now() - reloadStarted) * 1000);
        figures.reloadCpu.push_back((program.cpuNanoseconds() - cpu) / 1e6);
      }
      figures.residentAfterReloadsKiB = program.statusKiB("VmRSS");
    }
    program.writeLine("exit");
    expectExit(program, "the scripted program");
  }
  return figures;
}

// --- X ---

struct XFigures : Figures {
  int idleSeconds = 0;
  double idleCpuMs = 0;
  long idleTicks = 0;
  long idleWakeUps = 0;
  std::vector<DragFigures> drags;  // one a run
  // From a run of its own with the x_counts shim preloaded, when given.
  bool counted = false;
  XCounts startUp{};  // from the start until the pictures were shown
  XCounts reload{};   // one Reload
  XCounts drag500{};  // a drag of kCountedDragMoves motion events
};

// A presenter on the X desktop: the program or the floor, both started as
// `PATH -C DIRECTORY`.
struct Presenter {
  std::string name;
  std::string path;
  bool logsMessages;  // the program's debugger lines on stderr
  std::string log;
  std::vector<std::uint32_t> reference;
  XFigures figures;
};

const int kCountedDragMoves = 500;

std::vector<ScreenPoint> samplePoints(int pictures) {
  std::vector<ScreenPoint> points;
  for (int index = 0; index < pictures; ++index) {
    points.push_back(samplePoint(index));
  }
  return points;
}

// X gives a new connection the lowest free client slot, and with it the
// same window ids as the last one that closed. One connection is opened
// after each instance ends, and the one before closed, so the next instance
// never draws on ids the instance just before it had: an X server, window
// manager or compositor still letting go of those cannot mistake them.
class IdSeparation {
 public:
  ~IdSeparation() {
    if (held_) {
      XCloseDisplay(held_);
    }
  }
  void renew() {
    Display* next = XOpenDisplay(nullptr);
    if (held_) {
      XCloseDisplay(held_);
    }
    held_ = next;
  }

 private:
  Display* held_ = nullptr;
};

struct Desktop {
  PictureWatch watch;
  IdSeparation ids;
};

ChildProcess start(const Presenter& presenter, const std::string& directory) {
  return ChildProcess({presenter.path, "-C", directory}, presenter.log, false);
}

// Ends an instance and waits until the desktop has let go of its windows.
void stop(Desktop& desktop, ChildProcess& instance, const Presenter& presenter) {
  std::set<Window> windows = desktop.watch.windowsOf(instance.pid());
  instance.signal(SIGTERM);
  expectExit(instance, presenter.name.c_str());
  if (!desktop.watch.waitUntilReleased(windows, now() + kExitTimeout)) {
    throw std::runtime_error("the window manager kept the windows of " + presenter.name + " after it ended");
  }
  desktop.ids.renew();
}

// The screen as the first run shows it, settled; each sample must differ
// from the bare desktop there, or it would not tell its picture is painted.
void takeReference(Desktop& desktop, Presenter& presenter, const std::string& directory, int pictures) {
  PictureWatch& watch = desktop.watch;
  std::vector<std::uint32_t> bare = watch.samples();
  ChildProcess run = start(presenter, directory);
  presenter.reference = watch.settledSamples(run.pid(), pictures, 1.0, now() + kStartTimeout);
  if (presenter.reference.empty()) {
    throw std::runtime_error("the first run of " + presenter.name + " did not show " + std::to_string(pictures) +
                             " pictures");
  }
  for (std::size_t index = 0; index < presenter.reference.size(); ++index) {
    if (sameSamples({bare[index]}, {presenter.reference[index]})) {
      throw std::runtime_error("picture " + std::to_string(index) + " of " + presenter.name +
                               " does not show at its sample point");
    }
  }
  stop(desktop, run, presenter);
}

void timeIdle(ChildProcess& program, int seconds, XFigures& figures) {
  figures.idleSeconds = seconds;
  double cpu = program.cpuNanoseconds();
  long ticks = program.cpuTicks();
  long switches = program.contextSwitches();
  sleepFor(seconds);
  figures.idleCpuMs = (program.cpuNanoseconds() - cpu) / 1e6;
  figures.idleTicks = program.cpuTicks() - ticks;
  figures.idleWakeUps = program.contextSwitches() - switches;
}

void waitUntilShown(Desktop& desktop, const Presenter& presenter, ChildProcess& instance, int pictures,
                    double started, double* mappedAt, const std::string& what) {
  if (!desktop.watch.waitUntilShown(instance.pid(), pictures, &presenter.reference, started + kStartTimeout,
                                    mappedAt)) {
    throw std::runtime_error(what + " of " + presenter.name + " did not show every picture");
  }
}

double reloadOnce(Desktop& desktop, const Presenter& presenter, ChildProcess& instance, int pictures,
                  const std::string& what, double* mappedAt) {
  desktop.watch.markOld();
  double started = now();
  instance.signal(SIGHUP);
  waitUntilShown(desktop, presenter, instance, pictures, started, mappedAt, what);
  return started;
}

DragFigures drag(Desktop& desktop, const Presenter& presenter, ChildProcess& instance, int pictures, int moves) {
  benchsupport::Placement top = benchsupport::placementOf(pictures - 1);
  int half = benchsupport::kShownSize / 2;
  return dragPicture(desktop.watch, instance, presenter.log, presenter.logsMessages, ScreenPoint{top.x, top.y},
                     ScreenPoint{top.x + half, top.y + half}, moves, kDragReach, kDragInterval);
}

// One start-up and a drag; the first also times the Reloads and the idling.
void timeRun(Desktop& desktop, Presenter& presenter, const std::string& directory, int pictures, int run,
             int reloads, int idleSeconds, int dragMoves) {
  XFigures& figures = presenter.figures;
  desktop.watch.markOld();
  double started = now();
  ChildProcess instance = start(presenter, directory);
  double mappedAt = 0;
  waitUntilShown(desktop, presenter, instance, pictures, started, &mappedAt, "start-up " + std::to_string(run));
  figures.startUps.push_back((now() - started) * 1000);
  figures.startUpCpu.push_back(instance.cpuNanoseconds() / 1e6);
  figures.mapped.push_back((mappedAt - started) * 1000);
  if (run == 1) {
    sleepFor(kSettleSeconds);
    readSizes(instance, figures);
    for (int reload = 0; reload < reloads; ++reload) {
      double cpu = instance.cpuNanoseconds();
      double reloadStarted = reloadOnce(desktop, presenter, instance, pictures,
                                        "Reload " + std::to_string(reload + 1), &mappedAt);
      figures.reloads.push_back((now() - reloadStarted) * 1000);
      figures.reloadCpu.push_back((instance.cpuNanoseconds() - cpu) / 1e6);
      figures.reloadMapped.push_back((mappedAt - reloadStarted) * 1000);
    }
    sleepFor(kSettleSeconds);
    figures.residentAfterReloadsKiB = instance.statusKiB("VmRSS");
    timeIdle(instance, idleSeconds, figures);
  } else {
    sleepFor(kSettleSeconds);
  }
  if (dragMoves > 0) {
    figures.drags.push_back(drag(desktop, presenter, instance, pictures, dragMoves));
  }
  stop(desktop, instance, presenter);
}

XCounts readCounts(const std::string& file) {
  XCounts counts{};
  std::ifstream stream(file, std::ios::binary);
  stream.read(reinterpret_cast<char*>(&counts), sizeof counts);
  return counts;
}

XCounts difference(const XCounts& after, const XCounts& before) {
  return XCounts{after.roundTrips - before.roundTrips, after.xcbReplies - before.xcbReplies,
                 after.imagePuts - before.imagePuts, after.cairoPaints - before.cairoPaints};
}

// A run with the shim preloaded, apart from the timed ones: what the
// presenter asks the server and paints for a start-up, a Reload and a drag.
void countRun(Desktop& desktop, Presenter& presenter, const std::string& directory, int pictures,
              const std::string& shim) {
  const std::string file = directory + "/../x-counts-" + presenter.name;
  std::remove(file.c_str());
  setenv("TESSALINE_X_COUNTS", file.c_str(), 1);
  setenv("LD_PRELOAD", shim.c_str(), 1);
  desktop.watch.markOld();
  double started = now();
  ChildProcess instance = start(presenter, directory);
  unsetenv("LD_PRELOAD");
  unsetenv("TESSALINE_X_COUNTS");
  waitUntilShown(desktop, presenter, instance, pictures, started, nullptr, "the counted start-up");
  sleepFor(kSettleSeconds);
  XFigures& figures = presenter.figures;
  figures.startUp = readCounts(file);
  reloadOnce(desktop, presenter, instance, pictures, "the counted Reload", nullptr);
  sleepFor(kSettleSeconds);
  XCounts reloaded = readCounts(file);
  figures.reload = difference(reloaded, figures.startUp);
  drag(desktop, presenter, instance, pictures, kCountedDragMoves);
  figures.drag500 = difference(readCounts(file), reloaded);
  figures.counted = true;
  stop(desktop, instance, presenter);
}

// The floor and the program take turns, so that a change of the machine's
// load in the meantime falls on both.
void timeX(std::vector<Presenter>& presenters, const std::string& directory, const std::string& shim, int pictures,
           int startUps, int reloads, int idleSeconds, int dragMoves) {
  Desktop desktop{PictureWatch(benchsupport::kShownSize, benchsupport::kShownSize, samplePoints(pictures)), {}};
  for (Presenter& presenter : presenters) {
    takeReference(desktop, presenter, directory, pictures);
  }
  for (int run = 1; run <= startUps; ++run) {
    for (Presenter& presenter : presenters) {
      timeRun(desktop, presenter, directory, pictures, run, reloads, idleSeconds, dragMoves);
    }
  }
  if (!shim.empty()) {
    for (Presenter& presenter : presenters) {
      countRun(desktop, presenter, directory, pictures, shim);
    }
  }
}

// --- output ---

std::string jsonList(const std::vector<double>& values) {
  std::string text = "[";
  for (std::size_t index = 0; index < values.size(); ++index) {
    char number[32];
    std::snprintf(number, sizeof number, "%s%.3f", index == 0 ? "" : ", ", values[index]);
    text += number;
  }
  return text + "]";
}

void printCommon(const char* name, const Figures& figures) {
  std::printf("  \"%s\": {\n    \"start_up_ms\": %s,\n    \"reload_ms\": %s,\n", name,
              jsonList(figures.startUps).c_str(), jsonList(figures.reloads).c_str());
  std::printf("    \"start_up_cpu_ms\": %s,\n    \"reload_cpu_ms\": %s,\n", jsonList(figures.startUpCpu).c_str(),
              jsonList(figures.reloadCpu).c_str());
  if (!figures.mapped.empty()) {
    std::printf("    \"start_up_mapped_ms\": %s,\n    \"reload_mapped_ms\": %s,\n", jsonList(figures.mapped).c_str(),
                jsonList(figures.reloadMapped).c_str());
  }
  std::printf("    \"rss_kib\": %ld, \"rss_anon_kib\": %ld, \"rss_file_kib\": %ld, \"rss_shmem_kib\": %ld,\n",
              figures.residentKiB, figures.anonymousKiB, figures.fileKiB, figures.sharedKiB);
  std::printf("    \"rss_after_reloads_kib\": %ld", figures.residentAfterReloadsKiB);
}

void printCounts(const char* name, const XCounts& counts) {
  std::printf(",\n    \"%s\": {\"round_trips\": %llu, \"xcb_replies\": %llu, \"image_puts\": %llu, "
              "\"cairo_paints\": %llu}",
              name, static_cast<unsigned long long>(counts.roundTrips),
              static_cast<unsigned long long>(counts.xcbReplies), static_cast<unsigned long long>(counts.imagePuts),
              static_cast<unsigned long long>(counts.cairoPaints));
}

void printX(const char* name, const XFigures& x) {
  printCommon(name, x);
  std::printf(",\n    \"idle_seconds\": %d, \"idle_cpu_ms\": %.3f, \"idle_ticks\": %ld, \"idle_wakeups\": %ld,\n",
              x.idleSeconds, x.idleCpuMs, x.idleTicks, x.idleWakeUps);
  std::printf("    \"drags\": [");
  for (std::size_t index = 0; index < x.drags.size(); ++index) {
    const DragFigures& drag = x.drags[index];
    std::printf("%s\n      {\"moves\": %d, \"handled\": %ld, \"cpu_ms\": %.3f, \"seconds\": %.3f, "
                "\"arrived\": %s,\n       \"latencies_ms\": %s}",
                index == 0 ? "" : ",", drag.moves, drag.handled, drag.cpuNanoseconds / 1e6, drag.seconds,
                drag.arrived ? "true" : "false", jsonList(drag.latencies).c_str());
  }
  std::printf("]");
  if (x.counted) {
    std::printf(",\n    \"counted_drag_moves\": %d", kCountedDragMoves);
    printCounts("counts_start_up", x.startUp);
    printCounts("counts_reload", x.reload);
    printCounts("counts_drag", x.drag500);
  }
  std::printf("\n  }");
}

void printFigures(int pictures, const Figures& scripted, const std::vector<Presenter>& presenters) {
  std::printf("{\n  \"pictures\": %d,\n", pictures);
  printCommon("scripted", scripted);
  std::printf("\n  }");
  for (const Presenter& presenter : presenters) {
    std::printf(",\n");
    printX(presenter.name.c_str(), presenter.figures);
  }
  std::printf("\n}\n");
}

int number(int argc, char** argv, int index, int fallback) { return argc > index ? std::atoi(argv[index]) : fallback; }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 6 || argc > 10) {
    std::fprintf(stderr,
                 "usage: desktop_timing PROGRAM FLOOR SCRIPTED_PROGRAM DIRECTORY COUNTS_SHIM [START_UPS] [RELOADS] "
                 "[IDLE_SECONDS] [DRAG_MOVES]\n");
    return 2;
  }
  const int pictures = benchsupport::kMostPictures;
  const std::string directory = argv[4];
  int startUps = number(argc, argv, 6, 5);
  int reloads = number(argc, argv, 7, 5);
  int idleSeconds = number(argc, argv, 8, 60);
  int dragMoves = number(argc, argv, 9, 5000);
  // The drag's figures count the program's debugger lines, which it writes
  // only when asked to.
  setenv("TESSALINE_DEBUG", "1", 1);
  std::vector<Presenter> presenters{{"floor", argv[2], false, directory + "/../floor-stderr.txt", {}, {}},
                                    {"x11", argv[1], true, directory + "/../program-stderr.txt", {}, {}}};
  try {
    Figures scripted = timeScripted(argv[3], directory, pictures, startUps, reloads);
    timeX(presenters, directory, argv[5], pictures, startUps, reloads, idleSeconds, dragMoves);
    printFigures(pictures, scripted, presenters);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "desktop_timing: %s\n", error.what());
    return 1;
  }
  return 0;
}
