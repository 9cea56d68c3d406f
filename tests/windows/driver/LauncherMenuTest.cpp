// The launcher menu, opened through the tray icon's callback and driven from
// the keyboard. Every entry opens its own copy of marker.exe, which leaves
// NAME.ran next to itself: the files that appear tell which entries the
// program opened, since the menu's items cannot be read from here.
#include <windows.h>
#include <tlhelp32.h>

#include <vector>

#include "TessalineTest.h"

namespace {

// The copies of marker.exe in the scratch directory, without ".exe".
const char* const kMarkers[] = {"marker-a", "marker-b", "marker-c", "marker-d"};

// "{scratch}" stands for the scratch directory: the entries name the copies
// by their full Windows paths, as a user's settings would.
const char kScratchPlaceholder[] = "{scratch}";

// Ids 1000 to 1003, depth first: marker-a, marker-b, marker-c, marker-d.
const char kFirstLauncher[] =
    "    <file name=\"Alpha\" path=\"{scratch}\\marker-a.exe\"/>\n"
    "    <folder name=\"More\">\n"
    "      <file name=\"Bravo\" path=\"{scratch}\\marker-b.exe\"/>\n"
    "      <file name=\"Charlie\" path=\"{scratch}\\marker-c.exe\"/>\n"
    "    </folder>\n"
    "    <file name=\"Delta\" path=\"{scratch}\\marker-d.exe\"/>\n";

// The same programs in other places, with ids from 1004 after a Reload.
const char kSecondLauncher[] =
    "    <folder name=\"Again\">\n"
    "      <file name=\"Delta\" path=\"{scratch}\\marker-d.exe\"/>\n"
    "      <file name=\"Charlie\" path=\"{scratch}\\marker-c.exe\"/>\n"
    "    </folder>\n"
    "    <file name=\"Bravo\" path=\"{scratch}\\marker-b.exe\"/>\n"
    "    <file name=\"Alpha\" path=\"{scratch}\\marker-a.exe\"/>\n";

// The first launcher's first entry: after a Reload it names no entry.
const WORD kFirstLauncherCommand = 1000;

// A marker program starts in about a second under a warm Wine.
const DWORD kLaunchTimeout = 20000;

bool isTopMost(HWND window) { return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

bool isMarkerProcess(const char* executable) {
  for (const char* marker : kMarkers) {
    if (lstrcmpiA(executable, (std::string(marker) + ".exe").c_str()) == 0) {
      return true;
    }
  }
  return false;
}

// Ids of the marker programs running now, whoever started them.
std::vector<DWORD> runningMarkers() {
  std::vector<DWORD> running;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) {
    return running;
  }
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (isMarkerProcess(entry.szExeFile)) {
      running.push_back(entry.th32ProcessID);
    }
  }
  CloseHandle(snapshot);
  return running;
}

// The menu as the keys reach it: nothing is selected when it opens, Down
// and Up move and wrap around, Right opens a folder with its first entry
// selected, Enter chooses.
struct LauncherChoice {
  const char* entry;
  std::vector<WORD> keys;  // before Enter
  const char* marker;      // what the entry opens
};

void PrintTo(const LauncherChoice& choice, std::ostream* stream) { *stream << choice.entry; }

class LauncherMenuTest : public TessalineTest {
 protected:
  void SetUp() override {
    TessalineTest::SetUp();
    if (HasFatalFailure()) {
      return;
    }
    char marker[MAX_PATH] = "";
    GetEnvironmentVariableA("TESSALINE_MARKER", marker, sizeof marker);
    ASSERT_NE(marker[0], '\0') << "TESSALINE_MARKER must name the marker.exe the launcher opens";
    for (const char* name : kMarkers) {
      ASSERT_TRUE(scratch_.copyFile(marker, std::string(name) + ".exe"))
          << "cannot copy " << marker << " to " << scratch_.path() << " as " << name << ".exe";
    }
  }

  void writeLauncher(const std::string& entries) {
    std::string launcher = entries;
    const std::string placeholder = kScratchPlaceholder;
    for (std::size_t at = launcher.find(placeholder); at != std::string::npos;
         at = launcher.find(placeholder, at + scratch_.path().size())) {
      launcher.replace(at, placeholder.size(), scratch_.path());
    }
    writeConfig("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<system>\n  <launcher>\n" + launcher +
                "  </launcher>\n</system>\n");
  }

  void startWithLauncher(const std::string& entries) {
    ASSERT_NO_FATAL_FAILURE(writeLauncher(entries));
    program_ = &startProgram();
    owner_ = waitForStartUp(*program_);
    ASSERT_NE(owner_, nullptr) << "start-up: " << describe(*program_);
  }

  void postCommand(WORD command) { PostMessageA(owner_, WM_COMMAND, MAKEWPARAM(command, 0), 0); }

  // What the shell sends when the user presses the left button on the icon;
  // the keys then go to the menu. The menu posts the chosen entry's command
  // before it closes.
  void choose(const LauncherChoice& choice) {
    PostMessageA(owner_, kTrayCallbackMessage, 0, WM_LBUTTONDOWN);
    ASSERT_NE(waitForPopupMenu(*program_), nullptr) << "after the tray's WM_LBUTTONDOWN: " << describe(*program_);
    for (WORD key : choice.keys) {
      desktop::pressKey(key);
    }
    desktop::pressKey(VK_RETURN);
    ASSERT_TRUE(desktop::waitUntil([&]() { return desktop::findPopupMenu(program_->id()) == NULL; }, kEffectTimeout))
        << "after Enter on " << choice.entry << ": expected the menu closed; " << describe(*program_);
  }

  // Posted commands are handled in order: once TopMost shows, whatever was
  // posted before it is done.
  void waitForCommandsPostedSoFar() {
    postCommand(kTopMostCommand);
    ASSERT_TRUE(desktop::waitUntil([&]() { return isTopMost(owner_) || !program_->running(); }, kEffectTimeout))
        << "TopMost posted after the others: expected WS_EX_TOPMOST on the owner window; " << describe(*program_);
  }

  // Exit goes after the chosen entry's command: once the entry's marker
  // shows, or the wait for it has given up. Then every marker program the
  // shell started has written its file or never will: what is there is all
  // the launches.
  void exitAndExpectOnlyMarker(const LauncherChoice& choice) {
    desktop::waitUntil([&]() { return scratch_.hasFile(markerFile(choice.marker)) || !program_->running(); },
                       kLaunchTimeout);
    postCommand(kExitCommand);
    ASSERT_TRUE(program_->waitForExit(kExitTimeout)) << "after WM_COMMAND 104: " << describe(*program_);
    EXPECT_EQ(program_->exitCode(), 0u) << describe(*program_);
    waitForMarkersToEnd();
    EXPECT_EQ(markersRan(), std::vector<std::string>{choice.marker})
        << "the marker programs that ran (first) after choosing " << choice.entry << ": expected only "
        << choice.marker;
  }

  static std::string markerFile(const std::string& marker) { return marker + ".ran"; }

  std::vector<std::string> markersRan() const {
    std::vector<std::string> ran;
    for (const char* marker : kMarkers) {
      if (scratch_.hasFile(markerFile(marker))) {
        ran.push_back(marker);
      }
    }
    return ran;
  }

  void waitForMarkersToEnd() {
    for (DWORD id : runningMarkers()) {
      HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
      if (process != NULL) {
        EXPECT_EQ(WaitForSingleObject(process, kLaunchTimeout), WAIT_OBJECT_0)
            << "the marker program " << id << " is still running";
        CloseHandle(process);
      }
    }
  }

  ProgramProcess* program_ = nullptr;
  HWND owner_ = NULL;
};

class LauncherChoiceTest : public LauncherMenuTest, public ::testing::WithParamInterface<LauncherChoice> {};

TEST_P(LauncherChoiceTest, EnterOpensTheSelectedEntryOnly) {
  ASSERT_NO_FATAL_FAILURE(startWithLauncher(kFirstLauncher));

  ASSERT_NO_FATAL_FAILURE(choose(GetParam()));

  exitAndExpectOnlyMarker(GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Entries, LauncherChoiceTest,
    ::testing::Values(LauncherChoice{"Alpha", {VK_DOWN}, "marker-a"},
                      LauncherChoice{"MoreBravo", {VK_DOWN, VK_DOWN, VK_RIGHT}, "marker-b"},
                      LauncherChoice{"MoreCharlie", {VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN}, "marker-c"},
                      LauncherChoice{"Delta", {VK_UP}, "marker-d"}),
    [](const ::testing::TestParamInfo<LauncherChoice>& info) { return info.param.entry; });

// After a Reload the entries have new ids: each opens what it names in the
// new settings, and an id of the first menu opens nothing.
class ReloadedLauncherChoiceTest : public LauncherMenuTest, public ::testing::WithParamInterface<LauncherChoice> {};

TEST_P(ReloadedLauncherChoiceTest, EnterOpensTheSelectedEntryOfTheNewSettings) {
  ASSERT_NO_FATAL_FAILURE(startWithLauncher(kFirstLauncher));
  ASSERT_NO_FATAL_FAILURE(writeLauncher(kSecondLauncher));
  postCommand(kReloadCommand);
  postCommand(kFirstLauncherCommand);
  ASSERT_NO_FATAL_FAILURE(waitForCommandsPostedSoFar());
  ASSERT_TRUE(desktop::topLevelWindows(program_->id(), "#32770").empty())
      << "after Reload: expected no box, got " << describe(*program_);

  ASSERT_NO_FATAL_FAILURE(choose(GetParam()));

  exitAndExpectOnlyMarker(GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Entries, ReloadedLauncherChoiceTest,
    ::testing::Values(LauncherChoice{"AgainCharlie", {VK_DOWN, VK_RIGHT, VK_DOWN}, "marker-c"},
                      LauncherChoice{"Alpha", {VK_UP}, "marker-a"}),
    [](const ::testing::TestParamInfo<LauncherChoice>& info) { return info.param.entry; });

}  // namespace
