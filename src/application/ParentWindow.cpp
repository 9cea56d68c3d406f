// The launcher application object and its hidden owner window.
#include "application/ParentWindow.h"

#include "lib/winapi/PendingException.h"

const char ParentWindow::kClassName[] = "ParentWindow";
const char ParentWindow::kTitle[] = "Tessaline";
const char ParentWindow::kLoadFailure[] = "設定ファイルの読み込みに失敗しました\n";

ParentWindow* ParentWindow::pInstance_ = NULL;

namespace {

// Command ranges of the owner window: the system menu's and the launcher's.
const WORD kFirstSystemCommand = 100;
const WORD kExitCommand = 104;
const WORD kLastSystemCommand = 104;
const WORD kFirstLaunchCommand = 1000;
const WORD kLastLaunchCommand = 1999;

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
ParentWindow::ParentWindow() : gdiplusStartupInput_(), gdiplusToken_(0), hSystemMenu_(NULL) {}

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
  lib::xerces::XMLManager::initialize();
  loadConfig();
}

void ParentWindow::exitApplication() {
  unloadConfig();
  lib::xerces::XMLManager::terminate();
}

// Nothing is put back on failure: a reload has already unloaded.
void ParentWindow::loadConfig() {
  if (!xmlManager_.load("config.xml")) {
    throw kLoadFailure;
  }
}

void ParentWindow::unloadConfig() {
  xmlManager_.unload();
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
  if (command == kExitCommand) {
    // The owned windows go with it; its WM_DESTROY ends the message loop.
    lib::winapi::rethrowPendingExceptionAfter(DestroyWindow(pWindow_->hWnd_));
    return;
  }
  if (command >= kFirstSystemCommand && command <= kLastSystemCommand) {
    return;  // the rest of the system menu comes with the tray icon
  }
  if (command >= kFirstLaunchCommand && command <= kLastLaunchCommand) {
    return;  // the launcher entries come with the launcher menu
  }
}

void ParentWindow::onTrayIcon(UINT) {}
