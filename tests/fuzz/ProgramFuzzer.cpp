// The whole program on the model desktop: any bytes become a settings file
// and up to three picture files, and WinMain runs with a user who opens the
// launcher from the tray, right-clicks each picture, drags one, reloads and
// exits. Every message box is answered with its first button as it opens.
//
// Input: the settings file, then for each picture the separator and its
// bytes. The pictures are written as 0.png, 1.png and 2.png next to
// config.xml, whatever their content, so a settings file names them by
// those paths. Bytes after a third separator stay in 2.png.
//
// A run that returns 0 must leave the desktop as it found it: a window, DC,
// bitmap, menu, tray icon, class, GDI+ object or timer period still there
// is a leak and aborts. A run that fails (-1, after its failure box) ends
// the process in the real program; here the desktop tests' tear-down of a
// failed run takes the abandoned application down, and the desktop is reset.
#include <platform/desktop.h>
#include <platform/host.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <exception>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "application/LaunchItem.h"
#include "desktop/ProgramToolkit.h"
#include "lib/xerces/XMLManager.h"
#include "support/TemporaryDirectory.h"

namespace {

namespace desktop = platform::desktop;
namespace input = platform::input;
using platform::InputEvent;
using platform::WaitPlace;

const std::string_view kSeparator = "\n--picture--\n";
const std::array<const char*, 3> kPictureNames = {"0.png", "1.png", "2.png"};

// More waits than any script here needs, also with a few hundred pictures
// that each open a failure box twice (load and reload): past it every wait
// gives up, so a program that keeps asking cannot spin for ever.
const int kMostWaits = 4096;

// The first command id of the launcher menu in a fresh process.
const std::int32_t kFirstLaunchCommand = 1000;

std::unique_ptr<testsupport::TemporaryDirectory> directory;

void writeFile(const char* name, std::string_view content) {
  std::FILE* file = std::fopen(name, "wb");
  if (!file) {
    std::abort();
  }
  std::fwrite(content.data(), 1, content.size(), file);
  std::fclose(file);
}

// config.xml and the pictures the input holds; pictures it does not hold
// are removed, so none is left from an earlier input.
void writeFiles(std::string_view data) {
  std::vector<std::string_view> parts;
  while (parts.size() < kPictureNames.size()) {
    std::size_t separator = data.find(kSeparator);
    if (separator == std::string_view::npos) {
      break;
    }
    parts.push_back(data.substr(0, separator));
    data.remove_prefix(separator + kSeparator.size());
  }
  parts.push_back(data);
  writeFile("config.xml", parts[0]);
  for (std::size_t index = 0; index < kPictureNames.size(); ++index) {
    if (index + 1 < parts.size()) {
      writeFile(kPictureNames[index], parts[index + 1]);
    } else {
      std::remove(kPictureNames[index]);
    }
  }
}

// The middle of a shown picture, when there is one.
bool pictureCentre(int index, POINT& centre) {
  HWND window = findPicture(index);
  if (!window || !IsWindowVisible(window)) {
    return false;
  }
  RECT rect = rectOf(window);
  centre = POINT{rect.left + (rect.right - rect.left) / 2, rect.top + (rect.bottom - rect.top) / 2};
  return true;
}

// A few user actions that belong together, worked out when the first of
// them is due, since only then does the desktop show where a picture is.
using Gesture = std::function<std::vector<InputEvent>()>;

Gesture fixed(std::vector<InputEvent> events) {
  return [events] { return events; };
}

Gesture trayClick(UINT down, UINT up, input::ChooseMenuItem choice) {
  return fixed({input::TrayIconMouse{NULL, 0, down}, choice, input::TrayIconMouse{NULL, 0, up}});
}

Gesture rightClickPicture(int index) {
  return [index]() -> std::vector<InputEvent> {
    POINT centre;
    if (!pictureCentre(index, centre)) {
      return {};
    }
    return {input::MoveCursor{centre}, input::PressButton{platform::MouseButton::right}, input::DismissMenu{},
            input::ReleaseButton{platform::MouseButton::right}};
  };
}

Gesture dragPicture(int index) {
  return [index]() -> std::vector<InputEvent> {
    POINT centre;
    if (!pictureCentre(index, centre)) {
      return {};
    }
    return {input::MoveCursor{centre}, input::PressButton{platform::MouseButton::left},
            input::MoveCursor{POINT{centre.x + 24, centre.y + 16}},
            input::MoveCursor{POINT{centre.x + 48, centre.y + 32}}, input::ReleaseButton{platform::MouseButton::left}};
  };
}

std::deque<Gesture> userSession() {
  std::deque<Gesture> gestures;
  gestures.push_back(trayClick(WM_LBUTTONDOWN, WM_LBUTTONUP, input::ChooseMenuItem{kFirstLaunchCommand, ""}));
  for (int index = 0; index < static_cast<int>(kPictureNames.size()); ++index) {
    gestures.push_back(rightClickPicture(index));
  }
  gestures.push_back(dragPicture(0));
  gestures.push_back(trayClick(WM_RBUTTONDOWN, WM_RBUTTONUP, input::ChooseMenuItem{0, "Reload"}));
  gestures.push_back(trayClick(WM_RBUTTONDOWN, WM_RBUTTONUP, input::ChooseMenuItem{0, "Exit"}));
  return gestures;
}

// The user of the session: answers every message box at once, and otherwise
// carries out the session's actions one a wait. An action the desktop
// refuses (a menu item chosen when no menu is open, a picture that is gone)
// is passed over; a menu still open when the session has run out is
// dismissed, and any other wait after that gives up.
class SessionHost : public platform::Host {
 public:
  explicit SessionHost(std::deque<Gesture> gestures) : gestures_(std::move(gestures)) {}

  POINT cursorPosition() override { return cursor_; }
  void moveCursor(POINT point) override { cursor_ = point; }
  SIZE screenSize() override { return SIZE{1920, 1080}; }
  void debugOutput(const std::string&) override {}
  void consoleOutput(const std::string&, bool) override {}

  bool waitForInput(WaitPlace place, platform::InputSink& sink) override {
    if (++waits_ > kMostWaits) {
      return false;
    }
    if (place == WaitPlace::messageBox) {
      return answerMessageBox(sink);
    }
    while (events_.empty() && !gestures_.empty()) {
      std::vector<InputEvent> next = gestures_.front()();
      gestures_.pop_front();
      events_.assign(next.begin(), next.end());
    }
    if (events_.empty()) {
      return place == WaitPlace::popupMenu && sink.deliver(input::DismissMenu{}).empty();
    }
    InputEvent event = std::move(events_.front());
    events_.pop_front();
    if (const input::MoveCursor* move = std::get_if<input::MoveCursor>(&event)) {
      cursor_ = move->point;
    }
    if (!sink.deliver(event).empty() && place == WaitPlace::popupMenu) {
      sink.deliver(input::DismissMenu{});
    }
    return true;
  }

 private:
  static bool answerMessageBox(platform::InputSink& sink) {
    for (int button : {IDOK, IDCANCEL, IDYES, IDNO, IDABORT, IDRETRY, IDIGNORE, IDTRYAGAIN, IDCONTINUE}) {
      if (sink.deliver(input::PressMessageBoxButton{button}).empty()) {
        return true;
      }
    }
    return false;
  }

  std::deque<Gesture> gestures_;
  std::deque<InputEvent> events_;
  int waits_ = 0;
  POINT cursor_ = {0, 0};
};

void checkDesktopIsClean(const desktop::ObjectCounts& before) {
  desktop::ObjectCounts after = desktop::objectCounts();
  int periods = desktop::timerPeriodsInForce();
  bool gdiplus = desktop::gdiplusRunning();
  if (after != before || periods != 0 || gdiplus) {
    std::cerr << "fuzz_program: the run returned 0 but left the desktop changed: expected " << before << ", got "
              << after << "; timer periods in force " << periods << ", GDI+ running " << gdiplus << "\n";
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  desktop::setEcho(false);
  try {
    directory = std::make_unique<testsupport::TemporaryDirectory>("fuzz-program");
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    std::abort();
  }
  // The XML library counts its starts: with this one held for the whole
  // process, the program's own start and stop on each input no longer build
  // and tear down the library's tables, which would take a third of a run.
  lib::xerces::XMLManager::initialize();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  writeFiles(std::string_view(reinterpret_cast<const char*>(data), size));
  desktop::reset();
  desktop::setEcho(false);
  platform::installHost(std::make_unique<SessionHost>(userSession()));
  nextCommandId = kFirstLaunchCommand;  // a fresh process each time
  desktop::ObjectCounts before = desktop::objectCounts();

  char commandLine[] = "";
  int result = WinMain(GetModuleHandleA(NULL), NULL, commandLine, SW_SHOWDEFAULT);
  if (result == 0) {
    checkDesktopIsClean(before);
  } else if (result == -1) {
    endFailedRun();  // the desktop reset below takes whatever it leaves
  } else {
    std::fprintf(stderr, "fuzz_program: WinMain returned %d, expected 0 or -1\n", result);
    std::abort();
  }
  // The recorded output and boxes would otherwise grow until the next input.
  desktop::reset();
  desktop::setEcho(false);
  return 0;
}
