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
  static const char kLoadFailure[];

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

  // The start hook: the XML library, then the settings. Throws the load
  // failure text when the settings file cannot be loaded.
  void initApplication() override;

  // The stop hook: the settings, then the XML library.
  void exitApplication() override;

  // Loads config.xml from the current directory; throws the load failure
  // text when the XML manager reports a failure.
  void loadConfig();

  // Releases everything the settings made, the tree last.
  void unloadConfig();

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
