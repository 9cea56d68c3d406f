// The launcher menu: built from system/launcher, shown at the cursor,
// launched through the shell, and destroyed with the settings.
#include <windows.h>
#include <shellapi.h>

#include "application/LauncherEntries.h"
#include "application/ParentWindow.h"
#include "application/SettingsNames.h"
#include "lib/winapi/Diagnostics.h"
#include "lib/winapi/PendingException.h"

std::int32_t nextCommandId = kFirstCommandId;

namespace {

bool isElementNamed(lib::xerces::XMLNode* node, const char* name) {
  return node->getType() == lib::xerces::XML_ELEMENT &&
         std::string(static_cast<lib::xerces::XMLElement*>(node)->getName()) == name;
}

}  // namespace

void ParentWindow::createLauncherMenu() {
  lib::xerces::XMLElement* launcher = xmlManager_.findElement("system/launcher");
  if (launcher == NULL) {
    return;
  }
  HMENU root = CreatePopupMenu();
  launcherMenus_.push_back(root);
  appendLauncherItems(launcher, root, 1);
}

// A folder's submenu is complete before it joins its parent, so every menu
// lists its entries in document order and ids rise depth first. A file
// without path has nothing to open and takes no id.
void ParentWindow::appendLauncherItems(lib::xerces::XMLElement* element, HMENU menu, int depth) {
  std::size_t childCount = element->getChildCount();
  for (std::size_t index = 0; index < childCount; ++index) {
    lib::xerces::XMLNode* node = element->getChild(index);
    if (isElementNamed(node, settings::kFolder)) {
      lib::xerces::XMLElement* folder = static_cast<lib::xerces::XMLElement*>(node);
      if (!folderFits(depth)) {
        lib::winapi::debugPrint("launcher: a folder nested deeper than %d levels is left out\n", kDeepestFolder);
        continue;
      }
      HMENU submenu = CreatePopupMenu();
      launcherMenus_.push_back(submenu);
      appendLauncherItems(folder, submenu, depth + 1);
      AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), folderCaption(*folder));
    } else if (isElementNamed(node, settings::kFile)) {
      lib::xerces::XMLElement* file = static_cast<lib::xerces::XMLElement*>(node);
      const char* path = fileTarget(*file);
      if (nextCommandId > kLastCommandId || path == NULL) {
        continue;
      }
      AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(nextCommandId), fileCaption(*file));
      launchItems_.push_back(LaunchItem{nextCommandId, path});
      ++nextCommandId;
    }
  }
}

// The platform destroys submenus with the menu that holds them, so the later
// calls on submenu handles find them gone and do nothing.
void ParentWindow::destroyLauncherMenu() {
  for (HMENU menu : launcherMenus_) {
    DestroyMenu(menu);
  }
  launcherMenus_.clear();
  launchItems_.clear();
}

// The root launcher menu at the cursor, owned by the owner window; a chosen
// entry comes back later as WM_COMMAND.
bool ParentWindow::showLauncherMenu() {
  if (launcherMenus_.empty()) {
    return false;
  }
  POINT cursor;
  GetCursorPos(&cursor);
  lib::winapi::rethrowPendingExceptionAfter(
      TrackPopupMenu(launcherMenus_.front(), TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, pWindow_->hWnd_, NULL));
  return true;
}

// The first entry with that id is opened; an id that matches none does
// nothing.
void ParentWindow::launch(WORD command) {
  for (const LaunchItem& item : launchItems_) {
    if (item.commandId == command) {
      ShellExecuteA(pWindow_->hWnd_, "open", item.path.c_str(), NULL, NULL, SW_SHOWNORMAL);
      return;
    }
  }
}
