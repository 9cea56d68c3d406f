// The launcher application: the one application object, its hidden owner
// window, and everything the settings file makes.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <vector>

#include "application/LaunchItem.h"
#include "lib/winapi/BaseApplication.h"
#include "lib/winapi/BaseWindow.h"
#include "lib/xerces/XMLManager.h"

class ChildWindow;

class ParentWindow : public lib::winapi::BaseApplication {
 public:
  // The single-instance guard looks for this class and title.
  static const char kClassName[];
  static const char kTitle[];

  // The tray icon's callback message.
  static const UINT kTrayCallbackMessage = WM_USER + 1;

  // The one instance, created on the first call.
  static ParentWindow* getInstance();
  static ParentWindow* pInstance_;

  ParentWindow();
  ~ParentWindow() override;

  // The hidden owner window: it owns the tray icon, every popup menu and
  // every picture window, and its destruction ends the message loop.
  lib::winapi::BaseWindow* createWindow() override;

  static LRESULT CALLBACK parentWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  Gdiplus::GdiplusStartupInput gdiplusStartupInput_;
  ULONG_PTR gdiplusToken_;
  lib::xerces::XMLManager xmlManager_;
  std::vector<ChildWindow*> childWindows_;  // owning, in creation order
  HMENU hSystemMenu_;
  std::vector<HMENU> launcherMenus_;  // the first is the root launcher menu
  std::vector<LaunchItem> launchItems_;

 private:
  void onCommand(WORD command);
  void onTrayIcon(UINT mouseMessage);
};
