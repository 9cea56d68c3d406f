#include "BadInputFixture.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "application/LaunchItem.h"
#include "application/ParentWindow.h"

namespace badinput {

namespace desktop = platform::desktop;
namespace script = platform::script;

namespace {

// The index N of a window of class ChildWindowN, or -1.
int pictureIndex(HWND window) {
  char name[256] = "";
  GetClassNameA(window, name, sizeof name);
  int index = -1;
  char rest = '\0';
  return std::sscanf(name, "ChildWindow%d%c", &index, &rest) == 1 ? index : -1;
}

void look(Outcome& outcome, bool readLayers) {
  for (HWND window : desktop::windows()) {
    int index = pictureIndex(window);
    if (index < 0) {
      continue;
    }
    if (outcome.pictures.size() <= static_cast<std::size_t>(index)) {
      outcome.pictures.resize(static_cast<std::size_t>(index) + 1);
    }
    PictureSeen& seen = outcome.pictures[static_cast<std::size_t>(index)];
    seen.visible = IsWindowVisible(window) != FALSE;
    GetWindowRect(window, &seen.rect);
    std::unique_ptr<desktop::LayeredContent> content = readLayers ? desktop::layeredContent(window) : nullptr;
    if (content) {
      seen.constantAlpha = content->constantAlpha;
    }
  }
  const ParentWindow* application = ParentWindow::pInstance_;
  outcome.launcher = application->launcherMenus_.empty()
                         ? "none"
                         : menuText(desktop::menuItems(application->launcherMenus_.front()));
  outcome.launchEntries = application->launchItems_.size();
}

// A failed run ends as the process would, without its stop hooks: the
// application object, its owner window and the libraries stay. Later tests
// in the same process must not inherit them, so the hooks run here.
void endFailedRun() {
  ParentWindow* application = ParentWindow::pInstance_;
  if (application == NULL) {
    return;
  }
  DestroyWindow(FindWindowA(ParentWindow::kClassName, ParentWindow::kTitle));
  application->exitApplication();
  application->exitInstance();
  delete application;
  ParentWindow::pInstance_ = NULL;
}

}  // namespace

std::string settings(const std::string& content) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<system>" + content + "</system>\n";
}

std::string image(const std::string& attributes) { return "<image " + attributes + "/>"; }

std::string failureBox(const std::string& text) { return "assertion failed\n|" + text; }

std::string pictureBox(const std::string& path) { return "load error|" + path + "の読み込みに失敗しました"; }

std::string describe(const RECT& rect) {
  return std::to_string(rect.left) + "," + std::to_string(rect.top) + "," + std::to_string(rect.right) + "," +
         std::to_string(rect.bottom);
}

HWND findPicture(int index) {
  for (HWND window : desktop::windows()) {
    if (pictureIndex(window) == index) {
      return window;
    }
  }
  return NULL;
}

void BadInputFixture::SetUp() {
  ProgramFixture::SetUp();
  nextCommandId = 1000;  // a fresh process each run
}

void BadInputFixture::TearDown() {
  endFailedRun();
  nextCommandId = 1000;
  ProgramFixture::TearDown();
}

void BadInputFixture::chooseFromSystemMenu(const std::string& item) {
  script::clickTrayIcon(platform::MouseButton::right);
  script::chooseMenuItem(item);
}

Outcome BadInputFixture::runAndExit(std::size_t failureBoxes) {
  Outcome outcome;
  for (std::size_t box = 0; box < failureBoxes; ++box) {
    script::pressMessageBoxButton(IDOK);
  }
  script::then([&] { look(outcome, readLayers_); });
  chooseFromSystemMenu("Exit");
  // A run that failed has nothing left to look at or exit.
  script::onExhausted([](const char*) {});

  outcome.exitCode = runProgram();

  for (const desktop::ShownMessageBox& box : desktop::messageBoxes()) {
    outcome.boxes.push_back(box.caption + "|" + box.text);
  }
  for (const std::string& line : desktop::debugOutput()) {
    if (line.compare(0, std::strlen("hierarchy"), "hierarchy") != 0) {
      outcome.debugLines.push_back(line);
    }
  }
  outcome.afterRun = desktop::objectCounts();
  return outcome;
}

}  // namespace badinput
