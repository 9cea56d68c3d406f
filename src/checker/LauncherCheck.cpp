#include "checker/LauncherCheck.h"

#include <cstring>
#include <vector>

#include "application/LauncherEntries.h"
#include "application/SettingsNames.h"
#include "checker/UnreadNames.h"

namespace checker {

namespace {

// A menu text marks its accelerator with "&"; "&&" shows one "&".
bool marksAccelerator(const char* caption) {
  for (const char* at = std::strchr(caption, '&'); at != nullptr; at = std::strchr(at, '&')) {
    if (at[1] != '&') {
      return true;
    }
    at += 2;
  }
  return false;
}

class LauncherWalk {
 public:
  explicit LauncherWalk(const ElementReport& report) : report_(report) {}

  // The launcher's or a folder's children, at `depth` (the launcher's own
  // children are at 1), in document order as the menu takes them.
  void visitChildren(const lib::xerces::XMLElement& parent, int depth) {
    for (const lib::xerces::XMLElement* child : childElements(parent)) {
      if (std::strcmp(child->getName(), settings::kFolder) == 0) {
        visitFolder(*child, depth);
      } else if (std::strcmp(child->getName(), settings::kFile) == 0) {
        visitFile(*child);
      } else {
        reportUnreadElement(*child, {settings::kFolder, settings::kFile}, report_);
      }
    }
  }

  // One warning for every file past the last id, at the first of them.
  void reportFilesBeyondTheLastId() const {
    if (filesBeyondTheLastId_.empty()) {
      return;
    }
    report_.add(*filesBeyondTheLastId_.front(), Severity::Warning,
                "no command id is left (they end at " + std::to_string(kLastCommandId) +
                    "): the program leaves out this \"file\" and the " +
                    std::to_string(filesBeyondTheLastId_.size() - 1) + " after it");
  }

 private:
  void visitFolder(const lib::xerces::XMLElement& folder, int depth) {
    if (!folderFits(depth)) {
      report_.add(folder, Severity::Warning,
                  "\"folder\" nested deeper than " + std::to_string(kDeepestFolder) +
                      " levels: the program leaves it out with everything inside it");
      return;
    }
    reportUnreadAttributes(folder, {settings::kName}, report_);
    if (folder.getAttribute(settings::kName) == nullptr) {
      report_.add(folder, Severity::Warning,
                  "\"folder\" without name: the menu shows it as " + quoted(folderCaption(folder)));
    }
    noteAccelerator(folder, folderCaption(folder));
    visitChildren(folder, depth + 1);
  }

  void visitFile(const lib::xerces::XMLElement& file) {
    reportUnreadAttributes(file, {settings::kName, settings::kPath}, report_);
    if (fileTarget(file) == nullptr) {
      report_.add(file, Severity::Warning, "\"file\" without path: the program leaves this entry out");
      return;
    }
    if (nextCommandId_ > kLastCommandId) {
      filesBeyondTheLastId_.push_back(&file);
      return;
    }
    ++nextCommandId_;
    if (file.getAttribute(settings::kName) == nullptr) {
      report_.add(file, Severity::Warning,
                  "\"file\" without name: the menu shows its path " + quoted(fileCaption(file)));
    }
    noteAccelerator(file, fileCaption(file));
  }

  void noteAccelerator(const lib::xerces::XMLElement& element, const char* caption) const {
    if (marksAccelerator(caption)) {
      report_.add(element, Severity::Note,
                  "caption " + quoted(caption) +
                      ": \"&\" is not shown but underlines the next letter as the keyboard accelerator "
                      "(\"&&\" shows one \"&\")");
    }
  }

  const ElementReport& report_;
  std::int32_t nextCommandId_ = kFirstCommandId;
  std::vector<const lib::xerces::XMLElement*> filesBeyondTheLastId_;
};

}  // namespace

void checkLauncher(const lib::xerces::XMLElement& launcher, const ElementReport& report) {
  reportUnreadAttributes(launcher, {}, report);
  LauncherWalk walk(report);
  walk.visitChildren(launcher, 1);
  walk.reportFilesBeyondTheLastId();
}

}  // namespace checker
