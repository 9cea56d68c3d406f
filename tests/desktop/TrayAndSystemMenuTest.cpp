// The tray icon, the system menu and its five commands, through WinMain, as
// a user drives them: clicks on the tray icon and choices in its menu.
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "ProgramFixture.h"
#include "application/ParentWindow.h"
#include "support/PictureFile.h"

namespace {

namespace desktop = platform::desktop;
namespace script = platform::script;
using platform::MouseButton;

const char kLoadFailure[] = "設定ファイルの読み込みに失敗しました\n";

// What a test saw while the program waited for input.
struct Seen {
  HWND owner = NULL;
  bool ownerTopmost = false;
  bool ownerIconic = false;
  bool ownedVisible = false;
  bool topMostChecked = false;
  bool hideChecked = false;
  std::size_t trayIcons = 0;
};

// A window the test makes, owned by the owner window, standing for a
// picture: it shows what the owner window's state does to what it owns.
HWND createOwnedWindow(HWND owner) {
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(NULL);
  windowClass.lpszClassName = "TestOwned";
  RegisterClassExA(&windowClass);
  return CreateWindowExA(0, "TestOwned", "owned", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, owner, NULL,
                         GetModuleHandleA(NULL), NULL);
}

Seen look(HWND owned = NULL) {
  Seen seen;
  seen.owner = findOwnerWindow();
  seen.ownerTopmost = (GetWindowLongA(seen.owner, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  seen.ownerIconic = IsIconic(seen.owner) != FALSE;
  seen.ownedVisible = owned && IsWindowVisible(owned);
  HMENU systemMenu = ParentWindow::pInstance_ ? ParentWindow::pInstance_->hSystemMenu_ : NULL;
  seen.topMostChecked = (GetMenuState(systemMenu, 100, MF_BYCOMMAND) & MF_CHECKED) != 0;
  seen.hideChecked = (GetMenuState(systemMenu, 101, MF_BYCOMMAND) & MF_CHECKED) != 0;
  seen.trayIcons = desktop::trayIcons().size();
  return seen;
}

// A settings file whose one picture cannot be loaded: its failure box
// keeps the load waiting, with the tray live, until its OK is pressed.
const std::string kLoadThatWaits = settings(image("w='5' h='5' path='missing.png'"));

class TrayAndSystemMenu : public ProgramFixture {};

TEST_F(TrayAndSystemMenu, StartUpMakesTheSystemMenuAndTheTrayIconBeforeTheLoad) {
  writeFile("config.xml", kLoadThatWaits);
  bool gdiplusAtLoad = false;
  std::vector<desktop::TrayIcon> iconsAtLoad;
  script::then([&] {  // the picture's failure box is open: the load runs
    gdiplusAtLoad = desktop::gdiplusRunning();
    iconsAtLoad = desktop::trayIcons();
  });
  script::pressMessageBoxButton(IDOK);

  EXPECT_EQ(0, runThenExit());

  EXPECT_TRUE(gdiplusAtLoad) << "GDI+ must run before the load makes pictures";
  ASSERT_EQ(1u, iconsAtLoad.size()) << "expected the tray icon before the load";
  const desktop::TrayIcon& icon = iconsAtLoad[0];
  EXPECT_EQ("Tessaline", icon.tip);
  EXPECT_EQ(0u, icon.id);
  EXPECT_EQ(1025u, icon.callbackMessage);
  EXPECT_EQ(static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP), icon.flags);
  const desktop::IconImage* picture = desktop::iconImage(icon.icon);
  ASSERT_NE(nullptr, picture) << "the tray icon is the program's GAMEICON";
  EXPECT_EQ(32, picture->width);
}

TEST_F(TrayAndSystemMenu, AFileThatCannotBeLoadedIsReportedAfterTheTrayIconWasAdded) {
  ASSERT_EQ(0, std::remove("config.xml"));
  script::pressMessageBoxButton(IDOK);

  EXPECT_EQ(-1, runProgram());

  ASSERT_EQ(1u, desktop::messageBoxes().size());
  EXPECT_EQ(kLoadFailure, desktop::messageBoxes()[0].text);
  EXPECT_EQ("assertion failed\n", desktop::messageBoxes()[0].caption);
  EXPECT_EQ(1u, desktop::trayIcons().size()) << "the icon was added before the load and is left to the process end";
}

TEST_F(TrayAndSystemMenu, ARightClickShowsTheSystemMenuAtTheCursorThenPostsANullMessage) {
  script::moveCursor(300, 400);
  script::clickTrayIcon(MouseButton::right);
  script::dismissMenu();

  EXPECT_EQ(0, runThenExit());

  ASSERT_EQ(2u, desktop::trackedMenus().size());
  const desktop::TrackedMenu& menu = desktop::trackedMenus()[0];
  EXPECT_EQ(300, menu.view.point.x);
  EXPECT_EQ(400, menu.view.point.y);
  EXPECT_EQ(static_cast<UINT>(TPM_RIGHTBUTTON), menu.view.flags);
  EXPECT_EQ(0u, menu.chosen);
  EXPECT_EQ("TopMost=100 | Hide=101 | - | Reload=102 | - | About=103 | Exit=104", menuText(menu.view.items));
  int nullsToOwner = 0;
  for (const MSG& posted : desktop::postedMessages()) {
    nullsToOwner += posted.message == WM_NULL && posted.hwnd == menu.view.owner;
  }
  EXPECT_EQ(2, nullsToOwner) << "expected WM_NULL after each menu, also the dismissed one";
}

TEST_F(TrayAndSystemMenu, OtherMouseMessagesOnTheIconAndALeftClickWithoutLauncherShowNothing) {
  const UINT ignored[] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_MOUSEMOVE, WM_MBUTTONDOWN};
  for (UINT message : ignored) {
    script::trayIconMouse(message);
  }
  script::clickTrayIcon(MouseButton::left);

  EXPECT_EQ(0, runThenExit());

  EXPECT_EQ(1u, desktop::trackedMenus().size()) << "only the system menu, for Exit, may have opened";
  EXPECT_TRUE(desktop::messageBoxes().empty());
}

TEST_F(TrayAndSystemMenu, TopMostAndHideFlipTheirCheckMarkAndTheOwnerWindowAndReloadKeepsThem) {
  HWND owned = NULL;
  std::vector<Seen> seen;
  script::then([&] { owned = createOwnedWindow(findOwnerWindow()); });  // stands for a picture
  chooseFromSystemMenu("TopMost");
  chooseFromSystemMenu("Hide");
  script::then([&] { seen.push_back(look(owned)); });
  chooseFromSystemMenu("Reload");
  script::then([&] { seen.push_back(look(owned)); });
  chooseFromSystemMenu("TopMost");
  chooseFromSystemMenu("Hide");
  script::then([&] { seen.push_back(look(owned)); });

  EXPECT_EQ(0, runThenExit());

  ASSERT_EQ(3u, seen.size());
  for (std::size_t index = 0; index < 2; ++index) {
    const char* when = index == 0 ? "after TopMost and Hide" : "after a Reload";
    EXPECT_TRUE(seen[index].topMostChecked) << when;
    EXPECT_TRUE(seen[index].ownerTopmost) << when;
    EXPECT_TRUE(seen[index].hideChecked) << when;
    EXPECT_TRUE(seen[index].ownerIconic) << when;
    EXPECT_FALSE(seen[index].ownedVisible) << when << ": the owned window is hidden with its minimized owner";
    EXPECT_EQ(1u, seen[index].trayIcons) << when;
  }
  EXPECT_EQ(seen[0].owner, seen[1].owner) << "Reload keeps the owner window";
  EXPECT_FALSE(seen[2].topMostChecked);
  EXPECT_FALSE(seen[2].ownerTopmost);
  EXPECT_FALSE(seen[2].hideChecked);
  EXPECT_FALSE(seen[2].ownerIconic);
  EXPECT_TRUE(seen[2].ownedVisible);
}

TEST_F(TrayAndSystemMenu, AboutShowsTheNameAndVersion) {
  chooseFromSystemMenu("About");
  script::pressMessageBoxButton(IDOK);

  EXPECT_EQ(0, runThenExit());

  ASSERT_EQ(1u, desktop::messageBoxes().size());
  const desktop::ShownMessageBox& box = desktop::messageBoxes()[0];
  EXPECT_EQ("Tessaline : version 2.0.0", box.text);
  EXPECT_EQ("about", box.caption);
  EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONINFORMATION), box.type);
  EXPECT_EQ(desktop::trackedMenus()[0].view.owner, box.owner) << "owned by the owner window";
}

TEST_F(TrayAndSystemMenu, ExitReleasesEverythingOfOursInOrder) {
  EXPECT_EQ(0, runThenExit());

  EXPECT_TRUE(desktop::windows().empty());
  EXPECT_FALSE(desktop::isClassRegistered("ParentWindow", GetModuleHandleA(NULL)));
  EXPECT_EQ(0u, desktop::menuCount()) << "the system menu is destroyed";
  EXPECT_TRUE(desktop::trayIcons().empty());
  EXPECT_FALSE(desktop::gdiplusRunning());
}

TEST_F(TrayAndSystemMenu, AReloadOfAFileThatBecameUnloadableEndsTheProgram) {
  chooseFromSystemMenu("TopMost");  // anything but a fresh start
  script::then([] { std::remove("config.xml"); });
  chooseFromSystemMenu("Reload");
  script::pressMessageBoxButton(IDOK);

  EXPECT_EQ(-1, runProgram());

  ASSERT_EQ(1u, desktop::messageBoxes().size());
  EXPECT_EQ(kLoadFailure, desktop::messageBoxes()[0].text);
  EXPECT_EQ(nullptr, desktop::messageBoxes()[0].owner);
  EXPECT_EQ(1u, desktop::trayIcons().size()) << "the stop hook did not run";
  EXPECT_TRUE(desktop::gdiplusRunning()) << "the stop hook did not run";
}

// Commands arrive with a high word of 1 here (as from an accelerator):
// they act the same.
TEST_F(TrayAndSystemMenu, CommandsIgnoreTheHighWord) {
  std::vector<Seen> seen;
  // Posted as another program would: no menu gives a high word.
  for (WORD command : {100, 101}) {
    postToOwnerWindow(WM_COMMAND, MAKEWPARAM(command, 1));
  }
  script::then([&] { seen.push_back(look()); });
  postToOwnerWindow(WM_COMMAND, MAKEWPARAM(103, 1));
  script::pressMessageBoxButton(IDOK);
  postToOwnerWindow(WM_COMMAND, MAKEWPARAM(102, 1));
  script::then([&] { seen.push_back(look()); });
  postToOwnerWindow(WM_COMMAND, MAKEWPARAM(104, 1));

  EXPECT_EQ(0, runProgram());

  ASSERT_EQ(2u, seen.size());
  EXPECT_TRUE(seen[0].topMostChecked && seen[0].hideChecked);
  EXPECT_EQ(1u, desktop::messageBoxes().size()) << "About";
  EXPECT_TRUE(seen[1].topMostChecked && seen[1].hideChecked) << "Reload ran and kept the marks";
}

// Reload and Exit chosen while a load waits in a modal loop (the failure box
// of the second of three pictures) run after that load, once, and Exit wins.
TEST_F(TrayAndSystemMenu, ReloadAndExitChosenDuringALoadRunAfterIt) {
  struct Case {
    const char* name;
    std::vector<std::string> chosenDuringFirstLoad;
    std::size_t expectedLoads;  // each load shows the picture's box once
  };
  const Case cases[] = {
      {"Reload twice", {"Reload", "Reload"}, 2},
      {"Reload then Exit", {"Reload", "Exit"}, 1},
      {"Exit then Reload", {"Exit", "Reload"}, 1},
      {"Exit", {"Exit"}, 1},
  };
  testsupport::writeSolidPng("p.png", 2, 2, 0xFFFFFFFF);
  writeFile("config.xml", settings(image("w='5' h='5' path='p.png'") + image("w='5' h='5' path='gone.png'") +
                                   image("w='5' h='5' path='p.png'")));
  for (const Case& testCase : cases) {
    startAfresh();
    for (const std::string& item : testCase.chosenDuringFirstLoad) {
      chooseFromSystemMenu(item);
    }
    for (std::size_t load = 0; load < testCase.expectedLoads; ++load) {
      script::pressMessageBoxButton(IDOK);
    }
    if (testCase.expectedLoads == 2) {
      chooseFromSystemMenu("Exit");
    }

    EXPECT_EQ(0, runProgram()) << testCase.name;

    EXPECT_EQ(testCase.expectedLoads, desktop::messageBoxes().size()) << testCase.name;
    EXPECT_EQ(0u, script::pendingActions()) << testCase.name;
    EXPECT_EQ(desktop::ObjectCounts(), desktop::objectCounts()) << testCase.name << ": nothing of ours left";
  }
}

// After a failure the owner window still lives while the entry's box is
// open, and the tray with it: a second failure meanwhile, here a Reload of a
// file that became unloadable, must not end the process any other way than
// the first: one box, the first failure's, and exit code -1.
TEST_F(TrayAndSystemMenu, ASecondFailureWhileTheFailureBoxIsOpenIsNotReportedAgain) {
  script::then([] {
    EXPECT_EQ(0, std::remove("config.xml"));
    throw std::bad_alloc();  // the first failure, with no load in progress
  });
  chooseFromSystemMenu("Reload");
  script::pressMessageBoxButton(IDOK);

  EXPECT_EQ(-1, runProgram());

  ASSERT_EQ(1u, desktop::messageBoxes().size());
  EXPECT_EQ("予期されていない例外が発生しました\n", desktop::messageBoxes()[0].text) << "the first failure's box";
  EXPECT_EQ(1, std::count(desktop::debugOutput().begin(), desktop::debugOutput().end(),
                          "XMLManager load error : file config.xml\n"))
      << "expected the Reload chosen while the box was open to fail";
}

}  // namespace
