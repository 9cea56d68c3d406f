// What the settings cost at start-up and on every Reload: parsing config.xml
// into the node tree and deleting it again, beside Xerces-C's own parse of
// the same file with no tree of ours; finding the pictures one by one with
// "system/image:N" until the first index that finds nothing; and the memory
// a file of nested or repeated entities can make a load take.
#include <benchmark/benchmark.h>
#include <platform/desktop.h>
#include <xercesc/dom/DOM.hpp>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/XMLUniDefs.hpp>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "lib/xerces/XMLManager.h"
#include "support/TemporaryDirectory.h"

namespace {

// A settings file with `pictures` image elements and a launcher of the same
// number of entries, half of them in folders.
std::string settingsFile(int pictures) {
  std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<system>\n  <launcher>\n";
  for (int index = 0; index < pictures; ++index) {
    if (index % 2 == 0) {
      text += "    <folder name=\"Folder " + std::to_string(index) + "\">\n";
    }
    text += "      <file name=\"Entry " + std::to_string(index) + "\" path=\"C:\\\\Programs\\\\tool" +
            std::to_string(index) + ".exe\"/>\n";
    if (index % 2 == 0) {
      text += "    </folder>\n";
    }
  }
  text += "  </launcher>\n";
  for (int index = 0; index < pictures; ++index) {
    text += "  <image x=\"" + std::to_string(index * 10) + "\" y=\"40\" w=\"128\" h=\"128\" color=\"0xFFFFFFFF\" " +
            "path=\"pictures/picture" + std::to_string(index) + ".png\"/>\n";
  }
  return text + "</system>\n";
}

// The library and a working directory holding config.xml, for one benchmark.
class SettingsDirectory {
 public:
  explicit SettingsDirectory(int pictures) : directory_("bench") {
    platform::desktop::reset();
    platform::desktop::setEcho(false);
    std::ofstream("config.xml") << settingsFile(pictures);
    lib::xerces::XMLManager::initialize();
  }
  ~SettingsDirectory() { lib::xerces::XMLManager::terminate(); }

 private:
  testsupport::TemporaryDirectory directory_;
};

void loadAndUnload(benchmark::State& state) {
  SettingsDirectory directory(static_cast<int>(state.range(0)));
  lib::xerces::XMLManager manager;
  for (auto _ : state) {
    benchmark::DoNotOptimize(manager.load("config.xml"));
    manager.unload();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(loadAndUnload)->RangeMultiplier(10)->Range(10, 1000)->Unit(benchmark::kMicrosecond);

// The XML manager's parse alone: the same parser, made and released for
// each load as the manager does, its document dropped instead of converted.
void bareParse(benchmark::State& state) {
  SettingsDirectory directory(static_cast<int>(state.range(0)));
  static const XMLCh kFeatureLS[] = {xercesc::chLatin_L, xercesc::chLatin_S, xercesc::chNull};
  xercesc::DOMImplementation* implementation = xercesc::DOMImplementationRegistry::getDOMImplementation(kFeatureLS);
  for (auto _ : state) {
    xercesc::DOMLSParser* parser = implementation->createLSParser(
        xercesc::DOMImplementationLS::MODE_SYNCHRONOUS, nullptr, xercesc::XMLPlatformUtils::fgMemoryManager, nullptr);
    benchmark::DoNotOptimize(parser->parseURI("config.xml"));
    parser->release();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(bareParse)->RangeMultiplier(10)->Range(10, 1000)->Unit(benchmark::kMicrosecond);

void findEveryPicture(benchmark::State& state) {
  SettingsDirectory directory(static_cast<int>(state.range(0)));
  lib::xerces::XMLManager manager;
  manager.load("config.xml");
  char path[64];
  for (auto _ : state) {
    int index = 0;
    for (;; ++index) {
      std::snprintf(path, sizeof path, "system/image:%d", index);
      if (manager.findElement(path) == nullptr) break;
    }
    benchmark::DoNotOptimize(index);
    state.PauseTiming();
    platform::desktop::reset();  // every lookup records a debugger line
    platform::desktop::setEcho(false);
    state.ResumeTiming();
  }
  manager.unload();
  // Each lookup walks the image elements before its own, so the pass is
  // quadratic in their number: the fit and the time per lookup show it.
  int lookups = static_cast<int>(state.range(0)) + 1;
  state.SetComplexityN(state.range(0));
  state.counters["per_lookup"] =
      benchmark::Counter(lookups, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(findEveryPicture)
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(5000)
    ->Arg(10000)
    ->Complexity(benchmark::oNSquared)
    ->Unit(benchmark::kMicrosecond);

// The peak resident size, in KiB, of a child process that loads `fileName`
// as the program does: its own high-water mark, from the same start as its
// siblings', so the differences between files are the load's.
long peakResidentKiBLoading(const char* fileName) {
  pid_t child = fork();
  if (child == 0) {
    lib::xerces::XMLManager manager;
    manager.load(fileName);
    manager.unload();
    _exit(0);
  }
  int status = 0;
  rusage usage{};
  if (child < 0 || wait4(child, &status, 0, &usage) != child) {
    return -1;
  }
  return usage.ru_maxrss;
}

// "A billion laughs" (ten entities, each ten of the one before: 3 * 10^9
// characters once expanded, in a few hundred bytes) and a quadratic
// blow-up (one entity of 1,000 characters used 100,000 times) against an
// empty file. The loads fail at the bounds on entities.
void entityPeakResidentSize(benchmark::State& state) {
  SettingsDirectory directory(0);
  std::string laughs = "<?xml version=\"1.0\"?>\n<!DOCTYPE system [\n<!ENTITY lol0 \"lol\">\n";
  for (int level = 1; level < 10; ++level) {
    laughs += "<!ENTITY lol" + std::to_string(level) + " \"";
    for (int copy = 0; copy < 10; ++copy) laughs += "&lol" + std::to_string(level - 1) + ";";
    laughs += "\">\n";
  }
  std::ofstream("laughs.xml") << laughs << "]>\n<system><image path=\"&lol9;\"/>&lol9;</system>\n";
  std::string quadratic = "<!DOCTYPE system [<!ENTITY a \"" + std::string(1000, 'a') + "\">]>\n<system>";
  for (int use = 0; use < 100000; ++use) quadratic += "&a;";
  std::ofstream("quadratic.xml") << quadratic << "</system>\n";
  std::ofstream("empty.xml").flush();
  long empty = 0, billionLaughs = 0, quadraticBlowUp = 0;
  for (auto _ : state) {
    empty = peakResidentKiBLoading("empty.xml");
    billionLaughs = peakResidentKiBLoading("laughs.xml");
    quadraticBlowUp = peakResidentKiBLoading("quadratic.xml");
  }
  if (empty < 0 || billionLaughs < 0 || quadraticBlowUp < 0) {
    state.SkipWithError("a child process could not be made or waited for");
    return;
  }
  state.counters["empty_KiB"] = static_cast<double>(empty);
  state.counters["billion_laughs_above_empty_KiB"] = static_cast<double>(billionLaughs - empty);
  state.counters["quadratic_above_empty_KiB"] = static_cast<double>(quadraticBlowUp - empty);
}
BENCHMARK(entityPeakResidentSize)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
