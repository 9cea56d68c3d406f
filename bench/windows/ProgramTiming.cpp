// Times a running tessaline.exe as another program sees it, for scripts/bench:
//
//   program_timing PROGRAM DIRECTORY PICTURES [START_UPS] [RELOADS] [IDLE_SECONDS]
//
// Starts PROGRAM with DIRECTORY current (its config.xml shows PICTURES
// pictures) START_UPS times (default 3), each time from process creation
// until every picture window "ChildWindow0..N-1" is shown. In the first run
// it also times RELOADS Reloads (default 3), each from the command until the
// owner window has handled it with every picture shown again, and reads the
// process's CPU time over IDLE_SECONDS of idling (default 10). Every run ends
// through the program's Exit command.
//
// Prints one JSON object on stdout; exits with 0, 1 when a measurement
// failed (the reason on stderr), 2 on a usage error.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

const WORD kReloadCommand = 102;
const WORD kExitCommand = 104;
const DWORD kStartTimeout = 120000;
const DWORD kReloadTimeout = 120000;
const DWORD kExitTimeout = 30000;
const DWORD kPollInterval = 5;
const char kPictureClassPrefix[] = "ChildWindow";

double milliseconds() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER value;
    QueryPerformanceFrequency(&value);
    return value;
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Kernel and user time of a process so far; FILETIME counts 100 ns.
double cpuMilliseconds(HANDLE process) {
  FILETIME creation, exit, kernel, user;
  if (!GetProcessTimes(process, &creation, &exit, &kernel, &user)) {
    return -1.0;
  }
  auto ticks = [](const FILETIME& time) {
    return static_cast<double>(static_cast<ULONGLONG>(time.dwHighDateTime) << 32 | time.dwLowDateTime);
  };
  return (ticks(kernel) + ticks(user)) / 10000.0;
}

struct PictureSearch {
  DWORD processId;
  std::string lastClass;  // set: stop at the shown window of this class
  int shown;
};

std::string classOf(HWND window) {
  char name[256] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

BOOL CALLBACK countPicture(HWND window, LPARAM parameter) {
  PictureSearch* search = reinterpret_cast<PictureSearch*>(parameter);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (processId != search->processId || !IsWindowVisible(window)) {
    return TRUE;
  }
  std::string name = classOf(window);
  if (!search->lastClass.empty()) {
    if (name == search->lastClass) {
      search->shown = 1;
      return FALSE;
    }
    return TRUE;
  }
  if (name.compare(0, sizeof kPictureClassPrefix - 1, kPictureClassPrefix) == 0) {
    ++search->shown;
  }
  return TRUE;
}

// How many picture windows of the process are shown.
int shownPictures(DWORD processId) {
  PictureSearch search = {processId, "", 0};
  EnumWindows(countPicture, reinterpret_cast<LPARAM>(&search));
  return search.shown;
}

// Whether the last of `pictures` picture windows is shown: the program shows
// them in order, so it is the last one that tells the start-up has drawn
// them all. The newest window is at the top, where the search starts.
bool lastPictureShown(DWORD processId, int pictures) {
  PictureSearch search = {processId, kPictureClassPrefix + std::to_string(pictures - 1), 0};
  EnumWindows(countPicture, reinterpret_cast<LPARAM>(&search));
  return search.shown == 1;
}

HWND findOwnerWindow() { return FindWindowA("ParentWindow", "Tessaline"); }

class Failure {
 public:
  explicit Failure(std::string reason) : reason_(std::move(reason)) {}
  const std::string& reason() const { return reason_; }

 private:
  std::string reason_;
};

// One run of the program; a run still going when the object goes is ended.
class ProgramRun {
 public:
  ProgramRun(const std::string& program, const std::string& directory) {
    std::string line = "\"" + program + "\"";
    std::vector<char> commandLine(line.begin(), line.end());
    commandLine.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessA(program.c_str(), commandLine.data(), NULL, NULL, FALSE, 0, NULL, directory.c_str(), &startup,
                        &information_)) {
      throw Failure("CreateProcess(" + program + ") failed with error " + std::to_string(GetLastError()));
    }
  }
  ~ProgramRun() {
    if (running()) {
      TerminateProcess(information_.hProcess, 1);
      WaitForSingleObject(information_.hProcess, kExitTimeout);
    }
    CloseHandle(information_.hThread);
    CloseHandle(information_.hProcess);
  }
  ProgramRun(const ProgramRun&) = delete;
  ProgramRun& operator=(const ProgramRun&) = delete;

  HANDLE process() const { return information_.hProcess; }
  DWORD id() const { return information_.dwProcessId; }
  bool running() const { return WaitForSingleObject(information_.hProcess, 0) == WAIT_TIMEOUT; }

  void waitUntilShown(int pictures, double startedAt) const {
    while (!lastPictureShown(id(), pictures)) {
      if (!running()) {
        throw Failure("the program ended during its start-up");
      }
      if (milliseconds() - startedAt > kStartTimeout) {
        throw Failure("the pictures were not shown within " + std::to_string(kStartTimeout) + " ms");
      }
      Sleep(kPollInterval);
    }
    expectShown(pictures, "start-up");
    if (WaitForInputIdle(process(), kStartTimeout) != 0) {
      throw Failure("the program did not wait for input after its start-up");
    }
  }

  void expectShown(int pictures, const std::string& after) const {
    int shown = shownPictures(id());
    if (shown != pictures) {
      throw Failure("after the " + after + " expected " + std::to_string(pictures) + " shown pictures, got " +
                    std::to_string(shown));
    }
  }

  void endWithExitCommand() const {
    HWND owner = findOwnerWindow();
    if (owner == NULL || !PostMessageA(owner, WM_COMMAND, MAKEWPARAM(kExitCommand, 0), 0)) {
      throw Failure("no owner window to send Exit to");
    }
    if (WaitForSingleObject(process(), kExitTimeout) != WAIT_OBJECT_0) {
      throw Failure("the program did not end within " + std::to_string(kExitTimeout) + " ms of Exit");
    }
  }

 private:
  PROCESS_INFORMATION information_ = {};
};

// The Reload as the system menu gives it; sent, so that the call returns
// once the owner window has handled it.
double timeReload(const ProgramRun& run, int pictures) {
  HWND owner = findOwnerWindow();
  if (owner == NULL) {
    throw Failure("no owner window to send Reload to");
  }
  double startedAt = milliseconds();
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(owner, WM_COMMAND, MAKEWPARAM(kReloadCommand, 0), 0, SMTO_NORMAL, kReloadTimeout, &result)) {
    throw Failure("Reload was not handled within " + std::to_string(kReloadTimeout) + " ms");
  }
  double elapsed = milliseconds() - startedAt;
  run.expectShown(pictures, "Reload");
  return elapsed;
}

struct Figures {
  std::vector<double> startUps;
  std::vector<double> reloads;
  double cpuBeforeIdle = 0.0;
  double idleCpu = 0.0;
};

std::string jsonList(const std::vector<double>& values) {
  std::string text = "[";
  for (std::size_t index = 0; index < values.size(); ++index) {
    char number[32];
    std::snprintf(number, sizeof number, "%s%.3f", index == 0 ? "" : ", ", values[index]);
    text += number;
  }
  return text + "]";
}

void printFigures(const Figures& figures, int pictures, int idleSeconds) {
  std::printf("{\n  \"pictures\": %d,\n  \"start_up_ms\": %s,\n  \"reload_ms\": %s,\n", pictures,
              jsonList(figures.startUps).c_str(), jsonList(figures.reloads).c_str());
  std::printf("  \"cpu_before_idle_ms\": %.3f,\n  \"idle_seconds\": %d,\n  \"idle_cpu_ms\": %.3f\n}\n",
              figures.cpuBeforeIdle, idleSeconds, figures.idleCpu);
}

int usage() {
  std::fprintf(stderr, "usage: program_timing PROGRAM DIRECTORY PICTURES [START_UPS] [RELOADS] [IDLE_SECONDS]\n");
  return 2;
}

int number(int argc, char** argv, int index, int fallback) { return argc > index ? std::atoi(argv[index]) : fallback; }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4 || argc > 7) {
    return usage();
  }
  std::string program = argv[1];
  std::string directory = argv[2];
  int pictures = number(argc, argv, 3, 0);
  int startUps = number(argc, argv, 4, 3);
  int reloads = number(argc, argv, 5, 3);
  int idleSeconds = number(argc, argv, 6, 10);
  if (pictures < 1 || startUps < 1 || reloads < 0 || idleSeconds < 0) {
    return usage();
  }
  Figures figures;
  try {
    if (findOwnerWindow() != NULL) {
      throw Failure("a Tessaline owner window exists already in this Wine prefix");
    }
    for (int runIndex = 0; runIndex < startUps; ++runIndex) {
      double startedAt = milliseconds();
      ProgramRun run(program, directory);
      run.waitUntilShown(pictures, startedAt);
      figures.startUps.push_back(milliseconds() - startedAt);
      if (runIndex == 0) {
        for (int reload = 0; reload < reloads; ++reload) {
          figures.reloads.push_back(timeReload(run, pictures));
        }
        figures.cpuBeforeIdle = cpuMilliseconds(run.process());
        Sleep(static_cast<DWORD>(idleSeconds) * 1000);
        figures.idleCpu = cpuMilliseconds(run.process()) - figures.cpuBeforeIdle;
      }
      run.endWithExitCommand();
    }
  } catch (const Failure& failure) {
    std::fprintf(stderr, "program_timing: %s\n", failure.reason().c_str());
    return 1;
  }
  printFigures(figures, pictures, idleSeconds);
  return 0;
}
