// Times the Linux program on a Wayland compositor with wlr-layer-shell
// against the floor (a minimal layer-shell presenter doing the same
// visible work), each as a process of its own on the same pictures, for
// scripts/bench-wayland:
//
//   wayland_timing PROGRAM FLOOR DIRECTORY [START_UPS] [RELOADS]
//                  [IDLE_SECONDS] [DRAG_MOVES]
//
// DIRECTORY holds the 100 pictures and config.xml of write_benchmark_pictures.
// PROGRAM (tessaline, made to use its Wayland host) and FLOOR
// (wayland_floor_presenter) run with -C DIRECTORY on $WAYLAND_DISPLAY, a
// 1280 × 800 output of a wlroots compositor (scripts/wayland-session),
// taking turns. For each, from the fork:
//   - start-up until every picture is shown: two points of each, in a
//     presented frame of the output, as its own first settled run showed
//     them (ScreenWatch says why two);
//   - Reload (SIGHUP) until the pictures are back the same way, after some
//     frame showed one of them gone (a Wayland client's surfaces are
//     invisible to other clients, so going away is how a new surface is
//     told from the old one);
//   - the resident size once the pictures are shown;
//   - its CPU time and wake-ups over IDLE_SECONDS of idling, thread by
//     thread;
//   - a drag of a picture by DRAG_MOVES one-pixel motion events at
//     1 kHz (virtual pointer), with the time from each event until a frame
//     showing the picture there was presented, and the CPU time it took.
// Each look at the screen is a wlr-screencopy frame of the output, so its
// resolution is the output's frame interval; the figures also say what a
// capture costs here and what grim's does.
// Before an instance starts, the screen is bare again at every point. An
// instance that ends by itself (a compositor may drop a client) has its run
// done again, and the JSON lists why.
//
// Prints one JSON object on stdout; exits with 1 when a measurement failed
// (the reason on stderr), 2 on a usage error.
#include <dirent.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "BenchmarkPictures.h"
#include "ChildProcess.h"
#include "ScreenWatch.h"
#include "SurfaceDrag.h"
#include "WaylandConnection.h"

namespace {

using desktoptiming::ChildProcess;
using desktoptiming::now;
using desktoptiming::sleepFor;
using namespace waylandtiming;

const int kOutputWidth = 1280;
const int kOutputHeight = 800;
// scripts/wayland-session's bar: on the layer above the pictures.
const int kBarHeight = 30;
// Where the pointer waits: right of and below every picture, since the
// compositor may draw its cursor into what it captures.
const ScreenPoint kParked{kOutputWidth - 10, kOutputHeight - 10};
const double kStartTimeout = 60;
const double kExitTimeout = 30;
// Long enough for the allocations that follow the first paint to land
// before the size is read.
const double kSettleSeconds = 1.0;
const double kDragInterval = 0.001;
const int kDragReach = 100;
const int kCaptureTimings = 20;
// Runs of an instance that ended by itself are done again, this often at
// most; each is reported.
const int kAttempts = 20;

// An instance ended while it was being timed.
struct InstanceEnded : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct Figures {
  std::vector<double> startUps;
  std::vector<double> reloads;
  std::vector<double> startUpCpu;  // the presenter's own CPU time until then
  std::vector<double> reloadCpu;
  std::vector<double> reloadGone;  // until a frame showed a picture gone
  long residentKiB = -1;
  long anonymousKiB = -1;
  long fileKiB = -1;
  long sharedKiB = -1;
  long residentAfterReloadsKiB = -1;
  int idleSeconds = 0;
  double idleCpuMs = 0;
  long idleTicks = 0;
  long idleWakeUps = 0;
  int idleThreadsStarted = 0;
  int idleThreadsEnded = 0;
  DragFigures drag;
};

struct Presenter {
  std::string name;
  std::string path;
  bool logsMessages;  // the program's debugger lines on stderr
  std::string log;
  Samples reference;
  Figures figures;
  std::vector<std::string> lost;  // why runs were done again
};

struct CaptureCosts {
  double frameIntervalMs = 0;  // between the presentations of consecutive captures
  double ownCaptureMs = 0;     // request to ready, this program's screencopy
  double grimCaptureMs = -1;   // grim started, captured the same box and ended
};

struct Desktop {
  WaylandConnection connection;
  ScreenWatch watch;
  Samples bare;
  Snapshot bareRow;
};

// Two points of each picture: one no later picture covers (the next one in
// its row starts 100 pixels to the right, the next row 60 pixels down), and
// one no earlier picture covers (the one before in its row ends 156 pixels
// in, the row above 196 pixels down).
std::vector<ScreenPoint> samplePoints(int pictures) {
  std::vector<ScreenPoint> points;
  for (int index = 0; index < pictures; ++index) {
    benchsupport::Placement place = benchsupport::placementOf(index);
    points.push_back(ScreenPoint{place.x + 95, place.y + 55});
    points.push_back(ScreenPoint{place.x + 206, place.y + 226});
  }
  return points;
}

// The rightmost picture of the first row, grabbed where no other picture
// lies (right of the ninth, above the second row, below the bar), so the
// compositor's stacking does not choose which one moves; read on a row
// that stays inside it.
DragPath dragPath(int moves) {
  benchsupport::Placement before = benchsupport::placementOf(8), last = benchsupport::placementOf(9),
                          below = benchsupport::placementOf(10);
  int size = benchsupport::kShownSize;
  ScreenPoint grab{(before.x + size + last.x + size) / 2, (std::max(last.y, kBarHeight) + below.y) / 2};
  return DragPath{ScreenPoint{last.x, last.y}, size, grab, last.y + size - 30, moves, kDragReach, kDragInterval};
}

// The area the pictures cover, below the bar.
Box pictureArea(int pictures) {
  int right = 0, bottom = 0;
  for (int index = 0; index < pictures; ++index) {
    benchsupport::Placement place = benchsupport::placementOf(index);
    right = std::max(right, place.x + benchsupport::kShownSize);
    bottom = std::max(bottom, place.y + benchsupport::kShownSize);
  }
  return Box{0, kBarHeight, std::min(right, kOutputWidth), std::min(bottom, kOutputHeight) - kBarHeight};
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

// --- the screen's cost ---

CaptureCosts timeCaptures(ScreenWatch& watch, const Box& area) {
  CaptureCosts costs;
  std::vector<double> captures, intervals;
  double lastPresented = 0;
  for (int index = 0; index < kCaptureTimings; ++index) {
    double asked = now(), presented = 0;
    watch.samples(&presented);
    captures.push_back((now() - asked) * 1000);
    if (index > 0) {
      intervals.push_back((presented - lastPresented) * 1000);
    }
    lastPresented = presented;
  }
  costs.ownCaptureMs = median(captures);
  costs.frameIntervalMs = median(intervals);
  // grim on the same box, as the desktop tests use it.
  std::string box = std::to_string(area.x) + "," + std::to_string(area.y) + " " + std::to_string(area.width) + "x" +
                    std::to_string(area.height);
  std::vector<double> grims;
  for (int index = 0; index < kCaptureTimings / 2; ++index) {
    double started = now();
    ChildProcess grim({"/usr/bin/grim", "-t", "ppm", "-g", box, "/dev/null"}, "/dev/null", false);
    if (grim.waitForExit(10) != 0) {
      return costs;
    }
    grims.push_back((now() - started) * 1000);
  }
  costs.grimCaptureMs = median(grims);
  return costs;
}

// --- instances ---

void readSizes(const ChildProcess& presenter, Figures& figures) {
  figures.residentKiB = presenter.statusKiB("VmRSS");
  figures.anonymousKiB = presenter.statusKiB("RssAnon");
  figures.fileKiB = presenter.statusKiB("RssFile");
  figures.sharedKiB = presenter.statusKiB("RssShmem");
}


// The last line of a presenter's stderr that says what went wrong, among
// the program's debugger lines; else its last line.
std::string lastComplaintOf(const std::string& file) {
  std::ifstream stream(file);
  std::string line, last, complaint;
  while (std::getline(stream, line)) {
    if (!line.empty()) {
      last = line;
    }
    if (line.find("rror") != std::string::npos || line.find("Gdk") != std::string::npos) {
      complaint = line;
    }
  }
  return complaint.empty() ? last : complaint;
}

// Every wait on the screen stops when the instance has ended by itself.
void watchInstance(Desktop& desktop, ChildProcess& instance, const Presenter& presenter) {
  desktop.watch.setCheck([&instance, &presenter] {
    if (!instance.running()) {
      throw InstanceEnded(presenter.name + " ended with status " + std::to_string(instance.waitForExit(0)) +
                          " (\"" + lastComplaintOf(presenter.log) + "\")");
    }
  });
}

std::unique_ptr<ChildProcess> startWatched(Desktop& desktop, const Presenter& presenter,
                                           const std::string& directory) {
  auto instance = std::make_unique<ChildProcess>(std::vector<std::string>{presenter.path, "-C", directory},
                                                 presenter.log, false);
  watchInstance(desktop, *instance, presenter);
  return instance;
}

// Runs `attempt` until it went through without the instance ending by
// itself, at most kAttempts times; each ending is recorded.
void withRetries(Desktop& desktop, Presenter& presenter, const std::string& what,
                 const std::function<void()>& attempt) {
  for (int tries = 1;; ++tries) {
    try {
      attempt();
      return;
    } catch (const InstanceEnded& ended) {
      desktop.watch.setCheck(nullptr);
      presenter.lost.push_back(what + ": " + ended.what());
      std::fprintf(stderr, "wayland_timing: %s: %s; again\n", what.c_str(), ended.what());
      if (tries == kAttempts || desktop.watch.waitUntilEqual(desktop.bare, now() + kExitTimeout) < 0) {
        throw;
      }
    }
  }
}

// Ends an instance and waits until the compositor shows none of its
// pictures.
void stop(Desktop& desktop, ChildProcess& instance, const Presenter& presenter) {
  desktop.watch.setCheck(nullptr);
  instance.signal(SIGTERM);
  int status = instance.waitForExit(kExitTimeout);
  if (status != 0) {
    throw std::runtime_error(presenter.name + " ended with status " + std::to_string(status));
  }
  if (desktop.watch.waitUntilEqual(desktop.bare, now() + kExitTimeout) < 0) {
    throw std::runtime_error("the compositor still showed pictures of " + presenter.name + " after it ended");
  }
}

// The screen as the first run shows it, settled; each sample differs from
// the bare desktop there, or it would not tell its picture is shown.
void takeReference(Desktop& desktop, Presenter& presenter, const std::string& directory) {
  withRetries(desktop, presenter, "the first run", [&] {
    std::unique_ptr<ChildProcess> run = startWatched(desktop, presenter, directory);
    presenter.reference = desktop.watch.settledSamples(desktop.bare, 1.0, now() + kStartTimeout);
    if (presenter.reference.empty()) {
      throw std::runtime_error("the first run of " + presenter.name + " did not show every picture");
    }
    stop(desktop, *run, presenter);
  });
}

double waitUntilShown(Desktop& desktop, const Presenter& presenter, double started, const std::string& what) {
  double shownAt = desktop.watch.waitUntilEqual(presenter.reference, started + kStartTimeout);
  if (shownAt < 0) {
    throw std::runtime_error(what + " of " + presenter.name + " did not show every picture");
  }
  return shownAt;
}

void timeReload(Desktop& desktop, const Presenter& presenter, ChildProcess& instance, Figures& figures,
                const std::string& what) {
  double cpu = instance.cpuNanoseconds();
  double started = now();
  instance.signal(SIGHUP);
  double goneAt = desktop.watch.waitUntilChanged(presenter.reference, started + kStartTimeout);
  if (goneAt < 0) {
    throw std::runtime_error(what + " of " + presenter.name + " never took a picture off the screen");
  }
  double shownAt = waitUntilShown(desktop, presenter, started, what);
  figures.reloads.push_back((shownAt - started) * 1000);
  figures.reloadGone.push_back((goneAt - started) * 1000);
  figures.reloadCpu.push_back((instance.cpuNanoseconds() - cpu) / 1e6);
}

// Each thread's CPU time in nanoseconds and its context switches.
struct ThreadCounts {
  double nanoseconds = 0;
  long switches = 0;
};

std::map<std::string, ThreadCounts> threadCounts(const ChildProcess& instance) {
  std::map<std::string, ThreadCounts> counts;
  std::string tasks = "/proc/" + std::to_string(instance.pid()) + "/task";
  if (DIR* directory = opendir(tasks.c_str())) {
    while (dirent* entry = readdir(directory)) {
      if (entry->d_name[0] == '.') {
        continue;
      }
      ThreadCounts& thread = counts[entry->d_name];
      std::ifstream schedstat(tasks + "/" + entry->d_name + "/schedstat");
      schedstat >> thread.nanoseconds;
      std::ifstream status(tasks + "/" + entry->d_name + "/status");
      for (std::string line; std::getline(status, line);) {
        if (line.rfind("voluntary_ctxt_switches:", 0) == 0 || line.rfind("nonvoluntary_ctxt_switches:", 0) == 0) {
          thread.switches += std::stol(line.substr(line.find(':') + 1));
        }
      }
    }
    closedir(directory);
  }
  return counts;
}

// Thread by thread: a thread that ends meanwhile takes its counts with it,
// so it is counted as one that ended (its last wake-up, at least), and a
// new one from zero.
void timeIdle(ChildProcess& instance, int seconds, Figures& figures) {
  figures.idleSeconds = seconds;
  std::map<std::string, ThreadCounts> before = threadCounts(instance);
  long ticks = instance.cpuTicks();
  sleepFor(seconds);
  std::map<std::string, ThreadCounts> after = threadCounts(instance);
  figures.idleTicks = instance.cpuTicks() - ticks;
  double nanoseconds = 0;
  long switches = 0;
  for (const auto& thread : after) {
    auto earlier = before.find(thread.first);
    ThreadCounts start = earlier == before.end() ? ThreadCounts{} : earlier->second;
    nanoseconds += thread.second.nanoseconds - start.nanoseconds;
    switches += thread.second.switches - start.switches;
    figures.idleThreadsStarted += earlier == before.end();
  }
  for (const auto& thread : before) {
    figures.idleThreadsEnded += after.count(thread.first) == 0;
  }
  figures.idleCpuMs = nanoseconds / 1e6;
  figures.idleWakeUps = switches;
}

// One start-up; the first also times the Reloads, the idling and the drag.
// Each step is done again when the instance ended by itself meanwhile, on
// a new instance where the step needs one (its start-up is not timed).
void timeRun(Desktop& desktop, Presenter& presenter, const std::string& directory, int run, int reloads,
             int idleSeconds, int dragMoves) {
  Figures& figures = presenter.figures;
  std::unique_ptr<ChildProcess> instance;
  withRetries(desktop, presenter, "start-up " + std::to_string(run), [&] {
    double started = now();
    instance = startWatched(desktop, presenter, directory);
    double shownAt = waitUntilShown(desktop, presenter, started, "start-up " + std::to_string(run));
    figures.startUps.push_back((shownAt - started) * 1000);
    figures.startUpCpu.push_back(instance->cpuNanoseconds() / 1e6);
  });
  if (run == 1) {
    sleepFor(kSettleSeconds);
    readSizes(*instance, figures);
    for (int reload = 1; reload <= reloads; ++reload) {
      std::string what = "Reload " + std::to_string(reload);
      withRetries(desktop, presenter, what, [&] {
        if (!instance->running()) {
          instance = startWatched(desktop, presenter, directory);
          waitUntilShown(desktop, presenter, now(), "the start-up before " + what);
          sleepFor(kSettleSeconds);
        }
        timeReload(desktop, presenter, *instance, figures, what);
      });
    }
    sleepFor(kSettleSeconds);
    figures.residentAfterReloadsKiB = instance->statusKiB("VmRSS");
    timeIdle(*instance, idleSeconds, figures);
    if (dragMoves > 0) {
      figures.drag = dragPicture(desktop.watch, *instance, presenter.log, presenter.logsMessages,
                                 dragPath(dragMoves), desktop.bareRow);
      desktop.connection.moveTo(kParked.x, kParked.y);
      desktop.connection.roundTrip();
    }
  }
  stop(desktop, *instance, presenter);
}

// The floor and the program take turns, so that a change of the machine's
// load in the meantime falls on both.
CaptureCosts timeWayland(std::vector<Presenter>& presenters, const std::string& directory, int pictures,
                         int startUps, int reloads, int idleSeconds, int dragMoves) {
  Box area = pictureArea(pictures);
  Desktop desktop{WaylandConnection(kOutputWidth, kOutputHeight),
                  ScreenWatch(desktop.connection, area, samplePoints(pictures)), {}, {}};
  desktop.connection.moveTo(kParked.x, kParked.y);
  desktop.connection.roundTrip();
  desktop.bare = desktop.watch.samples();
  desktop.bareRow = desktop.connection.capture(rowRead(dragPath(dragMoves), kOutputWidth)).snapshot();
  CaptureCosts costs = timeCaptures(desktop.watch, area);
  for (Presenter& presenter : presenters) {
    takeReference(desktop, presenter, directory);
  }
  for (int run = 1; run <= startUps; ++run) {
    for (Presenter& presenter : presenters) {
      timeRun(desktop, presenter, directory, run, reloads, idleSeconds, dragMoves);
    }
  }
  return costs;
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

void printPresenter(const Presenter& presenter) {
  const Figures& figures = presenter.figures;
  std::printf("  \"%s\": {\n    \"start_up_ms\": %s,\n    \"reload_ms\": %s,\n", presenter.name.c_str(),
              jsonList(figures.startUps).c_str(), jsonList(figures.reloads).c_str());
  std::printf("    \"start_up_cpu_ms\": %s,\n    \"reload_cpu_ms\": %s,\n    \"reload_gone_ms\": %s,\n",
              jsonList(figures.startUpCpu).c_str(), jsonList(figures.reloadCpu).c_str(),
              jsonList(figures.reloadGone).c_str());
  std::printf("    \"rss_kib\": %ld, \"rss_anon_kib\": %ld, \"rss_file_kib\": %ld, \"rss_shmem_kib\": %ld,\n",
              figures.residentKiB, figures.anonymousKiB, figures.fileKiB, figures.sharedKiB);
  std::printf("    \"rss_after_reloads_kib\": %ld,\n", figures.residentAfterReloadsKiB);
  std::printf("    \"idle_seconds\": %d, \"idle_cpu_ms\": %.3f, \"idle_ticks\": %ld, \"idle_wakeups\": %ld, "
              "\"idle_threads_started\": %d, \"idle_threads_ended\": %d,\n",
              figures.idleSeconds, figures.idleCpuMs, figures.idleTicks, figures.idleWakeUps,
              figures.idleThreadsStarted, figures.idleThreadsEnded);
  std::string lost = "[";
  for (const std::string& reason : presenter.lost) {
    std::string quoted;
    for (char character : reason) {
      quoted += character == '"' || character == '\\' ? std::string("\\") + character : std::string(1, character);
    }
    lost += (lost.size() > 1 ? ", \"" : "\"") + quoted + "\"";
  }
  std::printf("    \"lost_runs\": %s,\n", (lost + "]").c_str());
  const DragFigures& drag = figures.drag;
  std::printf("    \"drag\": {\"moves\": %d, \"handled\": %ld, \"cpu_ms\": %.3f, \"seconds\": %.3f, "
              "\"arrived\": %s, \"frames\": %d,\n      \"latencies_ms\": %s}\n  }",
              drag.moves, drag.handled, drag.cpuNanoseconds / 1e6, drag.seconds, drag.arrived ? "true" : "false",
              drag.frames, jsonList(drag.latencies).c_str());
}

void printFigures(int pictures, const CaptureCosts& costs, const std::vector<Presenter>& presenters) {
  std::printf("{\n  \"pictures\": %d,\n", pictures);
  std::printf("  \"screen\": {\"frame_interval_ms\": %.3f, \"capture_ms\": %.3f, \"grim_capture_ms\": %.3f}",
              costs.frameIntervalMs, costs.ownCaptureMs, costs.grimCaptureMs);
  for (const Presenter& presenter : presenters) {
    std::printf(",\n");
    printPresenter(presenter);
  }
  std::printf("\n}\n");
}

int number(int argc, char** argv, int index, int fallback) { return argc > index ? std::atoi(argv[index]) : fallback; }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4 || argc > 8) {
    std::fprintf(stderr,
                 "usage: wayland_timing PROGRAM FLOOR DIRECTORY [START_UPS] [RELOADS] [IDLE_SECONDS] "
                 "[DRAG_MOVES]\n");
    return 2;
  }
  const int pictures = benchsupport::kMostPictures;
  const std::string directory = argv[3];
  int startUps = number(argc, argv, 4, 5);
  int reloads = number(argc, argv, 5, 5);
  int idleSeconds = number(argc, argv, 6, 60);
  int dragMoves = number(argc, argv, 7, 5000);
  // The drag's figures count the program's debugger lines, which it writes
  // only when asked to; the program takes its Wayland host only when told.
  setenv("TESSALINE_DEBUG", "1", 1);
  setenv("TESSALINE_BACKEND", "wayland", 1);
  std::vector<Presenter> presenters{{"floor", argv[2], false, directory + "/../wayland-floor-stderr.txt", {}, {}, {}},
                                    {"wayland", argv[1], true, directory + "/../wayland-program-stderr.txt", {}, {}, {}}};
  try {
    CaptureCosts costs = timeWayland(presenters, directory, pictures, startUps, reloads, idleSeconds, dragMoves);
    printFigures(pictures, costs, presenters);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "wayland_timing: %s\n", error.what());
    return 1;
  }
  return 0;
}
