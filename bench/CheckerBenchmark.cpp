// The settings checker against the program's own load of the same file:
// 1,000 pictures (the benchmark pictures, each used ten times) and a
// launcher of 1,000 entries. The checker loads every picture as the program
// does, so both are mostly decoding; the program also composes and shows.
#include <windows.h>
#include <benchmark/benchmark.h>
#include <platform/desktop.h>

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

#include "BenchmarkPictures.h"
#include "application/ParentWindow.h"
#include "checker/SettingsCheck.h"
#include "support/TemporaryDirectory.h"

namespace {

const int kPictures = 1000;
const int kEntries = 1000;

// A launcher of kEntries files, every other one in a folder of its own,
// and kPictures images placed as the other program benchmarks place them.
void writeLargeSettings() {
  std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<system>\n  <launcher>\n";
  for (int index = 0; index < kEntries; ++index) {
    std::string entry = "<file name=\"Entry " + std::to_string(index) + "\" path=\"C:\\Programs\\tool" +
                        std::to_string(index) + ".exe\"/>";
    text += index % 2 == 0 ? "    <folder name=\"Folder " + std::to_string(index) + "\">" + entry + "</folder>\n"
                           : "    " + entry + "\n";
  }
  text += "  </launcher>\n";
  for (int index = 0; index < kPictures; ++index) {
    benchsupport::Placement place = benchsupport::placementOf(index % benchsupport::kMostPictures);
    text += "  <image x=\"" + std::to_string(place.x) + "\" y=\"" + std::to_string(place.y) + "\" w=\"" +
            std::to_string(benchsupport::kShownSize) + "\" h=\"" + std::to_string(benchsupport::kShownSize) +
            "\" color=\"" + benchsupport::kTint + "\" path=\"" +
            benchsupport::picturePath(index % benchsupport::kMostPictures) + "\"/>\n";
  }
  std::ofstream file("config.xml");
  file << text << "</system>\n";
  if (!file.good()) {
    throw std::runtime_error("cannot write config.xml");
  }
}

// The pictures and config.xml, written once into a directory that stays
// current until the process ends.
class LargeSettings {
 public:
  static void ensure() { static LargeSettings files; }

 private:
  LargeSettings() : directory_("bench-checker") {
    benchsupport::writePictures(benchsupport::kMostPictures);
    writeLargeSettings();
  }

  testsupport::TemporaryDirectory directory_;
};

void freshDesktop() {
  platform::desktop::reset();
  platform::desktop::setEcho(false);
}

void checkLargeSettings(benchmark::State& state) {
  LargeSettings::ensure();
  freshDesktop();
  for (auto _ : state) {
    std::ostringstream findings;
    int status = checker::checkSettingsFile("config.xml", findings);
    if (status != checker::kClean) {
      state.SkipWithError(("expected a clean file, got:\n" + findings.str()).c_str());
      return;
    }
  }
}
BENCHMARK(checkLargeSettings)->Iterations(3)->Unit(benchmark::kMillisecond);

// The program started on the file; each iteration is its loadConfig (the
// tree, the launcher menu, every picture window), the unload before it not
// timed. Then Exit from the system menu.
void programLoadOfLargeSettings(benchmark::State& state) {
  LargeSettings::ensure();
  freshDesktop();
  platform::script::then([&] {
    ParentWindow* program = ParentWindow::getInstance();
    for (auto _ : state) {
      state.PauseTiming();
      program->unloadConfig();
      state.ResumeTiming();
      program->loadConfig();
    }
    platform::script::clickTrayIcon(platform::MouseButton::right);
    platform::script::chooseMenuItem("Exit");
  });
  char commandLine[] = "";
  int exitCode = WinMain(GetModuleHandleA(NULL), NULL, commandLine, SW_SHOWDEFAULT);
  if (exitCode != 0) {
    state.SkipWithError(("the program ended with " + std::to_string(exitCode)).c_str());
  }
}
BENCHMARK(programLoadOfLargeSettings)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
