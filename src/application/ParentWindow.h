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

  // The system menu's Reload and Exit, as WM_COMMAND ids: the Linux
  // program's signals ask for them too.
  static const WORD kReloadCommand = 102;
  static const WORD kExitCommand = 104;

  // The one instance, created on the first call.
  static ParentWindow* getInstance();
  static ParentWindow* pInstance_;

  ParentWindow();
  ~ParentWindow() override;

  // The hidden owner window: it owns the tray icon, every popup menu and
  // every picture window, and its destruction ends the message loop.
  lib::winapi::BaseWindow* createWindow() override;

  // The start hook: GDI+, the XML library, the system menu, the tray icon,
  // then the settings. Throws the load failure text when the settings file
  // cannot be loaded.
  void initApplication() override;

  // The stop hook: the settings, the tray icon, the system menu, the XML
  // library, GDI+.
  void exitApplication() override;

  // Puts the program's icon into the notification area.
  void addTrayIcon();

  // Loads config.xml from the current directory, then builds the launcher
  // menu and the pictures from it; throws the load failure text when the XML
  // manager reports a failure. A Reload or Exit chosen while it runs is
  // carried out once it has finished.
  void loadConfig();

  // Releases everything the settings made, the tree last.
  void unloadConfig();

  // The launcher menu: built from the settings, destroyed with them, and
  // shown at the cursor; showLauncherMenu is false when there is none.
  // The picture windows: made by the load's last step, destroyed first by
  // the unload.
  void createChildWindows();
  void destroyChildWindows();

  void createLauncherMenu();
  void appendLauncherItems(lib::xerces::XMLElement* element, HMENU menu, int depth);
  void destroyLauncherMenu();
  bool showLauncherMenu();

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
  void toggleTopMost();
  void toggleHide();
  void reload();
  void showAbout();
  void exit();
  void launch(WORD command);
  void carryOutDeferredCommands();

  // A load in progress, and the Reload and Exit chosen meanwhile: they wait
  // for the load to finish, since both would tear down what it is using.
  bool loading_;
  bool reloadRequested_;
  bool exitRequested_;
};
