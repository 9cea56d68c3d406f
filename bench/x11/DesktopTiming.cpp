// Times the Linux program on a real X desktop against the same WinMain on
// the scripted host, both as processes of their own on the same pictures,
// for scripts/bench:
//
//   desktop_timing PROGRAM SCRIPTED_PROGRAM DIRECTORY [START_UPS] [RELOADS] [IDLE_SECONDS] [DRAG_MOVES]
//
// DIRECTORY holds the 100 pictures and config.xml of write_benchmark_pictures.
// PROGRAM (tessaline) runs with -C DIRECTORY on $DISPLAY, which should be
// composited (scripts/x-session); SCRIPTED_PROGRAM (scripted_program) runs
// with DIRECTORY as its argument. For each, from the fork:
//   - start-up until every picture is shown: on X, 100 picture windows of
//     the program mapped and one pixel of each, on the composed screen,
//     as a first settled run showed it; on the scripted host, its first
//     wait for input;
//   - Reload (SIGHUP on X, the same command through stdin on the scripted
//     host) until the pictures are back the same way, on X in new windows;
//   - the resident size once the pictures are shown.
// On X also the program's CPU time and wake-ups over IDLE_SECONDS of
// idling, and a drag of the top picture by DRAG_MOVES one-pixel motion
// events at 1 kHz (XTEST).
//
// Prints one JSON object on stdout; exits with 1 when a measurement failed
// (the reason on stderr), 2 on a usage error.
#include <X11/Xlib.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "BenchmarkPictures.h"
#include "ChildProcess.h"
#include "PictureWatch.h"
#include "PointerDrag.h"

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
  DragFigures drag;
};

std::vector<ScreenPoint> samplePoints(int pictures) {
  std::vector<ScreenPoint> points;
  for (int index = 0; index < pictures; ++index) {
    points.push_back(samplePoint(index));
  }
  return points;
}

// The screen as the first run shows it, settled; each sample must differ
// from the bare desktop there, or it would not tell its picture is painted.
std::vector<std::uint32_t> referenceSamples(PictureWatch& watch, const std::string& program,
                                            const std::string& directory, const std::string& log, int pictures) {
  std::vector<std::uint32_t> bare = watch.samples();
  ChildProcess run({program, "-C", directory}, log, false);
  std::vector<std::uint32_t> reference = watch.settledSamples(run.pid(), pictures, 1.0, now() + kStartTimeout);
  if (reference.empty()) {
    throw std::runtime_error("the first run did not show " + std::to_string(pictures) + " pictures");
  }
  for (std::size_t index = 0; index < reference.size(); ++index) {
    if (sameSamples({bare[index]}, {reference[index]})) {
      throw std::runtime_error("picture " + std::to_string(index) + " does not show at its sample point");
    }
  }
  run.signal(SIGTERM);
  expectExit(run, "the program's first run");
  return reference;
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

XFigures timeX(const std::string& programPath, const std::string& directory, int pictures, int startUps,
               int reloads, int idleSeconds, int dragMoves) {
  XFigures figures;
  const std::string log = directory + "/../program-stderr.txt";
  PictureWatch watch(benchsupport::kShownSize, benchsupport::kShownSize, samplePoints(pictures));
  std::vector<std::uint32_t> reference = referenceSamples(watch, programPath, directory, log, pictures);
  for (int run = 1; run <= startUps; ++run) {
    watch.markOld();
    double started = now();
    ChildProcess program({programPath, "-C", directory}, log, false);
    double mappedAt = 0;
    if (!watch.waitUntilShown(program.pid(), pictures, &reference, started + kStartTimeout, &mappedAt)) {
      throw std::runtime_error("start-up " + std::to_string(run) + " did not show every picture");
    }
    figures.startUps.push_back((now() - started) * 1000);
    figures.startUpCpu.push_back(program.cpuNanoseconds() / 1e6);
    figures.mapped.push_back((mappedAt - started) * 1000);
    if (run == 1) {
      sleepFor(kSettleSeconds);
      readSizes(program, figures);
      for (int reload = 0; reload < reloads; ++reload) {
        watch.markOld();
        double reloadStarted = now();
        double cpu = program.cpuNanoseconds();
        program.signal(SIGHUP);
        if (!watch.waitUntilShown(program.pid(), pictures, &reference, reloadStarted + kStartTimeout, &mappedAt)) {
          throw std::runtime_error("Reload " + std::to_string(reload + 1) + " did not show every picture again");
        }
        figures.reloads.push_back((now() - reloadStarted) * 1000);
        figures.reloadCpu.push_back((program.cpuNanoseconds() - cpu) / 1e6);
        figures.reloadMapped.push_back((mappedAt - reloadStarted) * 1000);
      }
      sleepFor(kSettleSeconds);
      figures.residentAfterReloadsKiB = program.statusKiB("VmRSS");
      timeIdle(program, idleSeconds, figures);
      if (dragMoves > 0) {
        benchsupport::Placement top = benchsupport::placementOf(pictures - 1);
        int half = benchsupport::kShownSize / 2;
        figures.drag = dragPicture(watch, program, log, ScreenPoint{top.x, top.y},
                                   ScreenPoint{top.x + half, top.y + half}, dragMoves, kDragReach, kDragInterval);
      }
    }
    program.signal(SIGTERM);
    expectExit(program, "the program");
  }
  return figures;
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

void printFigures(int pictures, const Figures& scripted, const XFigures& x) {
  std::printf("{\n  \"pictures\": %d,\n", pictures);
  printCommon("scripted", scripted);
  std::printf("\n  },\n");
  printCommon("x11", x);
  std::printf(",\n    \"idle_seconds\": %d, \"idle_cpu_ms\": %.3f, \"idle_ticks\": %ld, \"idle_wakeups\": %ld,\n",
              x.idleSeconds, x.idleCpuMs, x.idleTicks, x.idleWakeUps);
  const DragFigures& drag = x.drag;
  std::printf("    \"drag\": {\"moves\": %d, \"handled\": %ld, \"cpu_ms\": %.3f, \"seconds\": %.3f, "
              "\"arrived\": %s}\n  }\n}\n",
              drag.moves, drag.handled, drag.cpuNanoseconds / 1e6, drag.seconds, drag.arrived ? "true" : "false");
}

int number(int argc, char** argv, int index, int fallback) { return argc > index ? std::atoi(argv[index]) : fallback; }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4 || argc > 8) {
    std::fprintf(stderr,
                 "usage: desktop_timing PROGRAM SCRIPTED_PROGRAM DIRECTORY [START_UPS] [RELOADS] [IDLE_SECONDS] "
                 "[DRAG_MOVES]\n");
    return 2;
  }
  const int pictures = benchsupport::kMostPictures;
  int startUps = number(argc, argv, 4, 5);
  int reloads = number(argc, argv, 5, 5);
  int idleSeconds = number(argc, argv, 6, 60);
  int dragMoves = number(argc, argv, 7, 5000);
  // The drag's figures count the program's debugger lines, which it writes
  // only when asked to.
  setenv("TESSALINE_DEBUG", "1", 1);
  try {
    Figures scripted = timeScripted(argv[2], argv[3], pictures, startUps, reloads);
    XFigures x = timeX(argv[1], argv[3], pictures, startUps, reloads, idleSeconds, dragMoves);
    printFigures(pictures, scripted, x);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "desktop_timing: %s\n", error.what());
    return 1;
  }
  return 0;
}
