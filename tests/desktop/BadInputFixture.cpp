#include "BadInputFixture.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "application/ParentWindow.h"

namespace badinput {

namespace desktop = platform::desktop;
namespace script = platform::script;

namespace {

// The index N of a window of class ChildWindowN, or -1.
int pictureIndex(HWND window) {
  int index = -1;
  char rest = '\0';
  return std::sscanf(className(window).c_str(), "ChildWindow%d%c", &index, &rest) == 1 ? index : -1;
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
    seen.rect = rectOf(window);
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

}  // namespace

std::string failureBox(const std::string& text) { return "assertion failed\n|" + text; }

std::string pictureBox(const std::string& path) { return "load error|" + path + "の読み込みに失敗しました"; }

Outcome BadInputFixture::runAndExit(std::size_t failureBoxes) {
  Outcome outcome;
  for (std::size_t box = 0; box < failureBoxes; ++box) {
    script::pressMessageBoxButton(IDOK);
  }
  // A run that failed has nothing left to look at or exit.
  script::onExhausted([](const char*) {});

  outcome.exitCode = runThenExit([&] { look(outcome, readLayers_); });

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
