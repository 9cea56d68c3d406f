#include "application/LauncherEntries.h"

#include "application/SettingsNames.h"

namespace {

const char kUnnamedFolder[] = "(folder)";

}  // namespace

const char* folderCaption(const lib::xerces::XMLElement& folder) {
  const char* name = folder.getAttribute(settings::kName);
  return name != nullptr ? name : kUnnamedFolder;
}

const char* fileTarget(const lib::xerces::XMLElement& file) { return file.getAttribute(settings::kPath); }

const char* fileCaption(const lib::xerces::XMLElement& file) {
  const char* name = file.getAttribute(settings::kName);
  return name != nullptr ? name : fileTarget(file);
}
