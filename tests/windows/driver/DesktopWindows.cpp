#include "DesktopWindows.h"

#include <cstdio>

namespace desktop {

namespace {

const char kOwnerWindowClass[] = "ParentWindow";
const char kOwnerWindowTitle[] = "Tessaline";
const char kMessageBoxClass[] = "#32770";
const char kPopupMenuClass[] = "#32768";
// The static control that holds a message box's text.
const int kMessageBoxTextId = 0xFFFF;
const DWORD kPollInterval = 20;

struct WindowSearch {
  DWORD processId;
  std::string windowClass;
  std::vector<HWND> found;
};

BOOL CALLBACK collectWindow(HWND window, LPARAM parameter) {
  WindowSearch* search = reinterpret_cast<WindowSearch*>(parameter);
  if (processOf(window) == search->processId &&
      (search->windowClass.empty() || className(window) == search->windowClass)) {
    search->found.push_back(window);
  }
  return TRUE;
}

}  // namespace

std::string className(HWND window) {
  char name[256] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string windowText(HWND window) {
  char text[256] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

DWORD processOf(HWND window) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  return processId;
}

std::vector<HWND> topLevelWindows(DWORD processId, const std::string& windowClass) {
  WindowSearch search = {processId, windowClass, {}};
  EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND findOwnerWindow(DWORD processId) {
  for (HWND window : topLevelWindows(processId, kOwnerWindowClass)) {
    if (windowText(window) == kOwnerWindowTitle) {
      return window;
    }
  }
  return NULL;
}

HWND findMessageBox(DWORD processId) {
  // A box is made hidden, filled, then shown: only a shown one is complete.
  for (HWND box : topLevelWindows(processId, kMessageBoxClass)) {
    if (IsWindowVisible(box) && GetDlgItem(box, IDOK) != NULL) {
      return box;
    }
  }
  return NULL;
}

HWND findPopupMenu(DWORD processId) {
  for (HWND menu : topLevelWindows(processId, kPopupMenuClass)) {
    if (IsWindowVisible(menu)) {
      return menu;
    }
  }
  return NULL;
}

MessageBoxContent readMessageBox(HWND box) {
  MessageBoxContent content;
  content.caption = windowText(box);
  char text[1024] = "";
  SendMessageA(GetDlgItem(box, kMessageBoxTextId), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  content.text = text;
  return content;
}

void pressOk(HWND box) {
  SendMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
}

void pressKey(WORD virtualKey) {
  INPUT strokes[2] = {};
  for (INPUT& stroke : strokes) {
    stroke.type = INPUT_KEYBOARD;
    stroke.ki.wVk = virtualKey;
  }
  strokes[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, strokes, sizeof(INPUT));
}

bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMilliseconds) {
  DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start >= timeoutMilliseconds) {
      return condition();
    }
    Sleep(kPollInterval);
  }
  return true;
}

std::string printableBytes(const std::string& bytes) {
  std::string printable = "\"";
  for (unsigned char byte : bytes) {
    if (byte >= 0x20 && byte < 0x7F && byte != '\\' && byte != '"') {
      printable += static_cast<char>(byte);
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      printable += escaped;
    }
  }
  return printable + "\"";
}

}  // namespace desktop
