#include "ProgramToolkit.h"

#include <platform/desktop.h>

#include "application/ParentWindow.h"
#include "lib/winapi/PendingException.h"

std::string settings(const std::string& content) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<system>" + content + "</system>\n";
}

std::string image(const std::string& attributes) { return "<image " + attributes + "/>"; }

void chooseFromSystemMenu(const std::string& item) {
  platform::script::clickTrayIcon(platform::MouseButton::right);
  platform::script::chooseMenuItem(item);
}

HWND findOwnerWindow() { return FindWindowA("ParentWindow", "Tessaline"); }

HWND findPicture(int index) { return FindWindowA(("ChildWindow" + std::to_string(index)).c_str(), NULL); }

std::string className(HWND window) {
  char name[256] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

RECT rectOf(HWND window) {
  RECT rect = {0, 0, 0, 0};
  GetWindowRect(window, &rect);
  return rect;
}

std::string describe(const RECT& rect) {
  return std::to_string(rect.left) + "," + std::to_string(rect.top) + "," + std::to_string(rect.right) + "," +
         std::to_string(rect.bottom);
}

std::string menuText(const std::vector<platform::MenuItemView>& items) {
  std::string text;
  for (const platform::MenuItemView& item : items) {
    text += text.empty() ? "" : " | ";
    if (item.separator) {
      text += "-";
    } else if (item.popup) {
      text += item.text + ">[" + menuText(item.submenu) + "]";
    } else {
      text += item.text + "=" + std::to_string(item.id) + (item.checked ? "*" : "");
    }
  }
  return text;
}

namespace {

// The real process runs none of these steps; what they throw says nothing
// about the program, and the steps after it must still run.
template <typename Step>
void bestEffort(Step step) {
  try {
    step();
    lib::winapi::rethrowPendingException();  // what a window procedure kept meanwhile
  } catch (...) {
  }
}

}  // namespace

void endFailedRun() {
  ParentWindow* application = ParentWindow::pInstance_;
  if (application == NULL) {
    return;
  }
  // Without the system menu the start hook never ran: the run failed
  // before or while making the owner window, and only the object is left.
  if (application->hSystemMenu_ != NULL) {
    // The loop's end, then the stop hooks, as in a normal run. The instance
    // stays set meanwhile: the owner window's procedure asks for it.
    bestEffort([] { DestroyWindow(findOwnerWindow()); });
    bestEffort([application] { application->exitApplication(); });
    bestEffort([application] { application->exitInstance(); });
  }
  delete application;
  ParentWindow::pInstance_ = NULL;
}
