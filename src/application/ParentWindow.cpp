// The launcher application object and its hidden owner window.
#include "application/ParentWindow.h"

#include <shellapi.h>

#include <cstdio>

#include "application/LauncherEntries.h"
#include "lib/winapi/Diagnostics.h"
#include "lib/winapi/PendingException.h"

const char ParentWindow::kClassName[] = "ParentWindow";
const char ParentWindow::kTitle[] = "Tessaline";
const char ParentWindow::kLoadFailure[] = "設定ファイルの読み込みに失敗しました\n";

ParentWindow* ParentWindow::pInstance_ = NULL;

namespace {

// The system menu's commands; the launcher's come after them.
const WORD kTopMostCommand = 100;
const WORD kHideCommand = 101;
const WORD kAboutCommand = 103;

const char kAboutFormat[] = "%s : version %s";
const char kProgramName[] = "Tessaline";
const char kVersion[] = TESSALINE_VERSION;  // the project's version, set in CMake
const char kAboutCaption[] = "about";

// The tray icon: the owner window's icon 0.
const UINT kTrayIconId = 0;

bool isChecked(HMENU menu, UINT command) { return (GetMenuState(menu, command, MF_BYCOMMAND) & MF_CHECKED) != 0; }

WNDCLASSEXA ownerWindowClass(HINSTANCE instance) {
  WNDCLASSEXA record;
  record.cbSize = sizeof(WNDCLASSEXA);
  record.style = CS_HREDRAW | CS_VREDRAW;
  record.lpfnWndProc = ParentWindow::parentWindowProc;
  record.cbClsExtra = 0;
  record.cbWndExtra = 0;
  record.hInstance = instance;
  record.hIcon = static_cast<HICON>(LoadImageA(instance, "GAMEICON", IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR));
  record.hIconSm = NULL;
  record.hCursor = LoadCursorA(NULL, IDC_ARROW);
  record.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  record.lpszMenuName = NULL;
  record.lpszClassName = ParentWindow::kClassName;
  return record;
}

}  // namespace

ParentWindow* ParentWindow::getInstance() {
  if (pInstance_ == NULL) {
    pInstance_ = new ParentWindow();
  }
  return pInstance_;
}

// Creates no window and starts no library; GDI+ start-up input is version 1
// with no debug callback and nothing suppressed.
ParentWindow::ParentWindow()
    : gdiplusStartupInput_(),
      gdiplusToken_(0),
      hSystemMenu_(NULL),
      loading_(false),
      reloadRequested_(false),
      exitRequested_(false) {}

// The stop hook has already released the menus, the pictures and the tree;
// the lists free only their own storage, which their destructors do.
ParentWindow::~ParentWindow() {}

lib::winapi::BaseWindow* ParentWindow::createWindow() {
  HINSTANCE instance = GetModuleHandleA(NULL);
  WNDCLASSEXA record = ownerWindowClass(instance);
  // Never shown: hidden, 0 by 0, layered without content, a tool window.
  return new lib::winapi::BaseWindow(parentWindowProc, &record, kClassName, kTitle, WS_POPUP, 0, 0, 0, 0, NULL,
                                     instance);
}

void ParentWindow::initApplication() {
  Gdiplus::GdiplusStartup(&gdiplusToken_, &gdiplusStartupInput_, NULL);
  lib::xerces::XMLManager::initialize();

  hSystemMenu_ = CreatePopupMenu();
  AppendMenuA(hSystemMenu_, MF_STRING, kTopMostCommand, "TopMost");
  AppendMenuA(hSystemMenu_, MF_STRING, kHideCommand, "Hide");
  AppendMenuA(hSystemMenu_, MF_SEPARATOR, 0, NULL);
  AppendMenuA(hSystemMenu_, MF_STRING, kReloadCommand, "Reload");
  AppendMenuA(hSystemMenu_, MF_SEPARATOR, 0, NULL);
  AppendMenuA(hSystemMenu_, MF_STRING, kAboutCommand, "About");
  AppendMenuA(hSystemMenu_, MF_STRING, kExitCommand, "Exit");

  addTrayIcon();
  loadConfig();
}

void ParentWindow::exitApplication() {
  unloadConfig();

  NOTIFYICONDATAA removal = {};
  removal.cbSize = sizeof removal;
  removal.hWnd = pWindow_->hWnd_;
  removal.uID = kTrayIconId;
  Shell_NotifyIconA(NIM_DELETE, &removal);

  DestroyMenu(hSystemMenu_);
  lib::xerces::XMLManager::terminate();
  Gdiplus::GdiplusShutdown(gdiplusToken_);
}

// The record is the whole Vista-layout NOTIFYICONDATAA: 508 bytes on the
// 32-bit build.
void ParentWindow::addTrayIcon() {
  HINSTANCE instance = GetModuleHandleA(NULL);
  NOTIFYICONDATAA icon = {};
  icon.cbSize = sizeof icon;
  icon.hWnd = pWindow_->hWnd_;
  icon.uID = kTrayIconId;
  icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  icon.uCallbackMessage = kTrayCallbackMessage;
  icon.hIcon = static_cast<HICON>(LoadImageA(instance, "GAMEICON", IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR));
  std::snprintf(icon.szTip, sizeof icon.szTip, "%s", kTitle);
  Shell_NotifyIconA(NIM_ADD, &icon);
}

// Nothing is put back on failure: a reload has already unloaded.
void ParentWindow::loadConfig() {
  loading_ = true;
  if (!xmlManager_.load("config.xml")) {
    throw kLoadFailure;
  }
  createLauncherMenu();
  createChildWindows();
  loading_ = false;
  carryOutDeferredCommands();
}

void ParentWindow::unloadConfig() {
  destroyChildWindows();
  destroyLauncherMenu();
  xmlManager_.unload();
}

// Exit wins over Reload; Reloads chosen during one load make one Reload.
void ParentWindow::carryOutDeferredCommands() {
  bool exitNow = exitRequested_;
  bool reloadNow = reloadRequested_ && !exitNow;
  exitRequested_ = false;
  reloadRequested_ = false;
  if (exitNow) {
    exit();
  } else if (reloadNow) {
    reload();
  }
}

LRESULT CALLBACK ParentWindow::parentWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return lib::winapi::guardWindowProcedure([&]() -> LRESULT {
    ParentWindow* application = getInstance();
    switch (message) {
      case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
      case WM_COMMAND:
        application->onCommand(LOWORD(wParam));
        break;
      case kTrayCallbackMessage:
        application->onTrayIcon(static_cast<UINT>(lParam));
        break;
    }
    // Handled or not, every message but WM_DESTROY gets default processing.
    return DefWindowProcA(window, message, wParam, lParam);
  });
}

// The system menu's commands and the launcher's entries arrive here; other
// commands do nothing.
void ParentWindow::onCommand(WORD command) {
  switch (command) {
    case kTopMostCommand:
      toggleTopMost();
      return;
    case kHideCommand:
      toggleHide();
      return;
    case kReloadCommand:
      if (loading_) {
        reloadRequested_ = true;
      } else {
        reload();
      }
      return;
    case kAboutCommand:
      showAbout();
      return;
    case kExitCommand:
      if (loading_) {
        exitRequested_ = true;
      } else {
        exit();
      }
      return;
  }
  if (command >= kFirstCommandId && command <= kLastCommandId) {
    launch(command);
  }
}

// The check mark is the state. The owner window's extended style and its
// place in the Z order change together; the pictures follow their owner.
void ParentWindow::toggleTopMost() {
  HWND owner = pWindow_->hWnd_;
  bool leaving = isChecked(hSystemMenu_, kTopMostCommand);
  DWORD exStyle = static_cast<DWORD>(GetWindowLongA(owner, GWL_EXSTYLE));
  exStyle = leaving ? (exStyle & ~static_cast<DWORD>(WS_EX_TOPMOST)) : (exStyle | WS_EX_TOPMOST);
  SetWindowLongA(owner, GWL_EXSTYLE, static_cast<LONG>(exStyle));
  lib::winapi::rethrowPendingExceptionAfter(SetWindowPos(owner, leaving ? HWND_NOTOPMOST : HWND_TOPMOST, 0, 0, 0, 0,
                                                         SWP_NOSIZE | SWP_NOMOVE | SWP_FRAMECHANGED));
  CheckMenuItem(hSystemMenu_, kTopMostCommand, leaving ? MF_UNCHECKED : MF_CHECKED);
}

// Minimizing the owner window hides the pictures it owns; restoring it
// shows them again.
void ParentWindow::toggleHide() {
  HWND owner = pWindow_->hWnd_;
  if (isChecked(hSystemMenu_, kHideCommand)) {
    lib::winapi::rethrowPendingExceptionAfter(ShowWindow(owner, SW_RESTORE));
    CheckMenuItem(hSystemMenu_, kHideCommand, MF_UNCHECKED);
  } else {
    lib::winapi::rethrowPendingExceptionAfter(ShowWindow(owner, SW_MINIMIZE));
    CheckMenuItem(hSystemMenu_, kHideCommand, MF_CHECKED);
  }
}

void ParentWindow::reload() {
  unloadConfig();
  loadConfig();
}

void ParentWindow::showAbout() {
  char text[256];
  std::snprintf(text, sizeof text, kAboutFormat, kProgramName, kVersion);
  lib::winapi::messageBoxPrint(pWindow_->hWnd_, MB_OK | MB_ICONINFORMATION, kAboutCaption, "%s", text);
}

// The owned windows go with it; its WM_DESTROY ends the message loop.
void ParentWindow::exit() { lib::winapi::rethrowPendingExceptionAfter(DestroyWindow(pWindow_->hWnd_)); }

// Left button: the launcher menu. Right button: the system menu at the
// cursor, then WM_NULL, so that the menu closes properly the next time the
// user clicks elsewhere. Everything else does nothing.
void ParentWindow::onTrayIcon(UINT mouseMessage) {
  HWND owner = pWindow_->hWnd_;
  if (mouseMessage == WM_LBUTTONDOWN) {
    SetForegroundWindow(owner);
    showLauncherMenu();
  } else if (mouseMessage == WM_RBUTTONDOWN) {
    SetForegroundWindow(owner);
    POINT cursor;
    GetCursorPos(&cursor);
    lib::winapi::rethrowPendingExceptionAfter(
        TrackPopupMenu(hSystemMenu_, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, owner, NULL));
    PostMessageA(owner, WM_NULL, 0, 0);
  }
}
