#include "checker/SettingsCheck.h"

#include <windows.h>
#include <gdiplus.h>

#include <cstring>
#include <filesystem>
#include <optional>
#include <system_error>

#include "application/SettingsNames.h"
#include "checker/DocumentScan.h"
#include "checker/ElementPlaces.h"
#include "checker/LauncherCheck.h"
#include "checker/PictureCheck.h"
#include "checker/UnreadNames.h"
#include "lib/xerces/XMLManager.h"

namespace checker {

namespace {

const char kLoadFailure[] = "the program ends at start-up with its \"settings file could not be loaded\" box";

// The program reads config.xml from its current directory and pictures
// relative to it: the check runs in the file's folder, and goes back.
class WorkingDirectory {
 public:
  // False when the folder cannot be entered.
  bool enter(const std::filesystem::path& folder) {
    std::error_code error;
    previous_ = std::filesystem::current_path(error);
    if (error) {
      return false;
    }
    std::filesystem::current_path(folder.empty() ? previous_ : folder, error);
    entered_ = !error;
    return entered_;
  }
  ~WorkingDirectory() {
    if (entered_) {
      std::error_code error;
      std::filesystem::current_path(previous_, error);
    }
  }

 private:
  std::filesystem::path previous_;
  bool entered_ = false;
};

// The libraries the program starts before it loads: the XML library and
// GDI+, for as long as one check runs.
class Libraries {
 public:
  Libraries() {
    lib::xerces::XMLManager::initialize();
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&gdiplusToken_, &input, NULL);
  }
  ~Libraries() {
    Gdiplus::GdiplusShutdown(gdiplusToken_);
    lib::xerces::XMLManager::terminate();
  }
  Libraries(const Libraries&) = delete;
  Libraries& operator=(const Libraries&) = delete;

 private:
  ULONG_PTR gdiplusToken_ = 0;
};

// A tree without a root: the first lookup fails the program's assertion.
void reportNoRoot(const std::optional<ParseFailure>& failure, Findings& findings) {
  std::string reason = failure ? " (" + echoed(failure->message) + ")" : "";
  findings.add(failure ? failure->position : Position{1, 1}, Severity::Error,
               "no root element" + reason + ": the program ends at start-up with \"assert\"");
}

// The library stopped reading here; the program's tree holds what came
// before. A repeated attribute is all the library says of that element, and
// the program still starts.
void reportParseFailure(const ParseFailure& failure, Findings& findings) {
  if (failure.repeatedAttribute) {
    findings.add(failure.position, Severity::Warning,
                 echoed(failure.message) + ": the program leaves out this element and everything after it");
    return;
  }
  findings.add(failure.position, Severity::Error,
               echoed(failure.message) + ": the program reads only what comes before this point");
}

void checkRootChildren(const lib::xerces::XMLElement& root, const ElementReport& report) {
  bool launcherSeen = false;
  for (const lib::xerces::XMLElement* child : childElements(root)) {
    if (std::strcmp(child->getName(), settings::kLauncher) == 0) {
      if (launcherSeen) {
        report.add(*child, Severity::Warning,
                   "a second \"launcher\": the program ignores it with everything inside it");
      } else {
        checkLauncher(*child, report);
      }
      launcherSeen = true;
    } else if (std::strcmp(child->getName(), settings::kImage) == 0) {
      checkPicture(*child, report);
    } else {
      reportUnreadElement(*child, {settings::kLauncher, settings::kImage}, report);
    }
  }
}

// A root of another name is no error to the program: it finds nothing
// under it, so nothing else in the file matters.
void checkTree(const lib::xerces::XMLElement& root, const DocumentScan& scan, Findings& findings) {
  ElementPlaces places(root, scan.elementStarts);
  ElementReport report(places, findings);
  if (std::strcmp(root.getName(), settings::kRoot) != 0) {
    report.add(root, Severity::Warning,
               "root element " + quoted(root.getName()) + " is not " + quoted(settings::kRoot) +
                   ": the program shows no picture and no launcher menu");
    return;
  }
  reportUnreadAttributes(root, {}, report);
  checkRootChildren(root, report);
}

// The program reads none of them and takes each as empty; a reference to
// an entity that only an external document type would define is then left
// out where it stands.
void reportRefusedExternals(const DocumentScan& scan, Findings& findings) {
  for (const RefusedExternal& external : scan.refusedExternals) {
    findings.add(external.position, Severity::Warning,
                 "external entity or document type " + quoted(external.systemId) +
                     " is not read: the program reads it as empty");
  }
}

Findings checkLoaded(const lib::xerces::XMLManager& manager, const DocumentScan& scan) {
  Findings findings;
  reportRefusedExternals(scan, findings);
  const lib::xerces::XMLElement* root = manager.getRoot();
  if (root == nullptr) {
    reportNoRoot(scan.failure, findings);
    return findings;
  }
  if (scan.failure) {
    reportParseFailure(*scan.failure, findings);
  }
  checkTree(*root, scan, findings);
  return findings;
}

// Past the bounds on entities the program refuses the file as if it could
// not be read at all.
int reportExpansionLimit(const ParseFailure& limit, const DocumentScan& scan, const std::string& fileName,
                         std::ostream& out) {
  Findings findings;
  reportRefusedExternals(scan, findings);
  findings.add(limit.position, Severity::Error, echoed(limit.message) + ": " + kLoadFailure);
  findings.print(out, fileName);
  return kHasErrors;
}

int reportUnreadable(const std::string& fileName, std::ostream& out) {
  Findings findings;
  findings.add(kWholeFile, Severity::Error, std::string("cannot be read: ") + kLoadFailure);
  findings.print(out, fileName);
  return kUnreadable;
}

}  // namespace

int checkSettingsFile(const std::string& fileName, std::ostream& out) {
  std::filesystem::path file(fileName);
  WorkingDirectory directory;
  if (!directory.enter(file.parent_path())) {
    return reportUnreadable(fileName, out);
  }
  Libraries libraries;
  lib::xerces::XMLManager manager;
  std::string name = file.filename().string();
  DocumentScan scan;
  if (!manager.load(name.c_str(), &scan)) {
    return scan.expansionLimit ? reportExpansionLimit(*scan.expansionLimit, scan, fileName, out)
                               : reportUnreadable(fileName, out);
  }
  Findings findings = checkLoaded(manager, scan);
  manager.unload();
  findings.print(out, fileName);
  return findings.count(Severity::Error) > 0 ? kHasErrors : kClean;
}

}  // namespace checker
