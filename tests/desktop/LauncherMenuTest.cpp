// The launcher menu through WinMain: built from system/launcher, opened from
// the tray icon, launching through the shell, rebuilt by Reload.
#include <algorithm>
#include <string>
#include <vector>

#include "ProgramFixture.h"
#include "application/ParentWindow.h"

namespace {

namespace desktop = platform::desktop;
namespace script = platform::script;
using platform::MouseButton;

class LauncherMenu : public ProgramFixture {
 protected:
  // Left-clicks the tray icon and dismisses whatever opens.
  static void openLauncher() {
    script::clickTrayIcon(MouseButton::left);
    script::dismissMenu();
  }
  // The launcher menus tracked: every tracked menu but the system menus.
  static std::vector<desktop::TrackedMenu> launcherMenusShown() {
    std::vector<desktop::TrackedMenu> shown;
    for (const desktop::TrackedMenu& menu : desktop::trackedMenus()) {
      if (menu.view.items.empty() || menu.view.items[0].text != "TopMost") {
        shown.push_back(menu);
      }
    }
    return shown;
  }
};

TEST_F(LauncherMenu, FoldersAndFilesBecomeSubmenusAndEntriesInDocumentOrder) {
  writeFile("config.xml", settings(
                              "<launcher>"
                              "  <file name='A' path='a.exe'/>"
                              "  <!-- a comment --> text"
                              "  <folder name='F1'>"
                              "    <file name='B' path='b.exe'/>"
                              "    <folder name='F2'><file name='C' path='c.exe'/></folder>"
                              "    <Folder name='wrong case'><file name='X' path='x'/></Folder>"
                              "    <FILE name='Y' path='y'/>"
                              "    <group><file name='Z' path='z'/></group>"
                              "    <folder name='Empty'/>"
                              "  </folder>"
                              "  <file name='D' path='d.exe'/>"
                              "</launcher>"
                              "<launcher><file name='second launcher' path='s'/></launcher>"
                              "<file name='under system' path='u'/><folder name='under system'/>"));
  std::vector<HMENU> menus;
  script::moveCursor(640, 480);
  script::then([&] { menus = ParentWindow::pInstance_->launcherMenus_; });  // read while it runs
  openLauncher();

  EXPECT_EQ(0, runThenExit());

  std::vector<desktop::TrackedMenu> shown = launcherMenusShown();
  ASSERT_EQ(1u, shown.size());
  EXPECT_EQ("A=1000 | F1>[B=1001 | F2>[C=1002] | Empty>[]] | D=1003", menuText(shown[0].view.items));
  EXPECT_EQ(640, shown[0].view.point.x);
  EXPECT_EQ(480, shown[0].view.point.y);
  EXPECT_EQ(static_cast<UINT>(TPM_RIGHTBUTTON), shown[0].view.flags);
  ASSERT_EQ(4u, menus.size()) << "the root, then F1, F2 and Empty in document order";
  EXPECT_EQ(shown[0].view.menu, menus[0]);
}

TEST_F(LauncherMenu, WhatTheLauncherElementHoldsDecidesWhatOpens) {
  struct Case {
    const char* name;
    std::string launcher;
    bool opens;
    std::string expected;
  };
  const Case cases[] = {
      {"no launcher", "", false, ""},
      {"an empty launcher", "<launcher/>", true, ""},
      {"a file without path", "<launcher><file name='nothing'/><file name='B' path='b'/></launcher>", true, "B=1000"},
      {"a file without name", "<launcher><file path='C:\\tools\\t.exe'/></launcher>", true, "C:\\tools\\t.exe=1000"},
      {"a folder without name", "<launcher><folder/></launcher>", true, "(folder)>[]"},
  };
  for (const Case& testCase : cases) {
    startAfresh();
    writeFile("config.xml", settings(testCase.launcher));
    openLauncher();
    if (!testCase.opens) {
      script::onExhausted([](const char*) {});  // the dismiss has no menu to act on
    }

    EXPECT_EQ(0, runThenExit()) << testCase.name;

    std::vector<desktop::TrackedMenu> shown = launcherMenusShown();
    ASSERT_EQ(testCase.opens ? 1u : 0u, shown.size()) << testCase.name;
    if (testCase.opens) {
      EXPECT_EQ(testCase.expected, menuText(shown[0].view.items)) << testCase.name;
    }
  }
}

TEST_F(LauncherMenu, ChoosingAnEntryOpensExactlyItsPathWithTheShell) {
  const std::string paths[] = {"C:\\Program Files\\My App\\app.exe", "D:\\文書\\メモ.txt", "%USERPROFILE%\\100%.txt"};
  std::string launcher = "<launcher>";
  for (const std::string& path : paths) {
    launcher += "<file name='entry' path='" + path + "'/>";
  }
  writeFile("config.xml", settings(launcher + "</launcher>"));
  for (UINT command : {1001u, 1000u, 1002u}) {
    script::clickTrayIcon(MouseButton::left);
    script::chooseMenuItem(command);
  }
  // A command of the launcher's range that no entry has, as another
  // program could post it: nothing opens.
  postToOwnerWindow(WM_COMMAND, 1500);

  EXPECT_EQ(0, runThenExit());

  const std::vector<platform::ShellRequest>& requests = desktop::shellRequests();
  ASSERT_EQ(3u, requests.size());
  const std::string expectedOrder[] = {paths[1], paths[0], paths[2]};
  for (std::size_t index = 0; index < requests.size(); ++index) {
    EXPECT_EQ(expectedOrder[index], requests[index].file) << "request " << index;
    EXPECT_EQ("open", requests[index].verb);
    EXPECT_FALSE(requests[index].hasParameters);
    EXPECT_FALSE(requests[index].hasDirectory);
    EXPECT_EQ(SW_SHOWNORMAL, requests[index].showCommand);
    EXPECT_EQ(desktop::trackedMenus()[0].view.owner, requests[index].window) << "the owner window is the parent";
  }
}

TEST_F(LauncherMenu, IdsGoOnAcrossReloadsUntilTheRangeIsUsedUp) {
  std::string launcher = "<launcher>";
  for (int index = 0; index < 600; ++index) {
    launcher += "<file name='f' path='p'/>";
  }
  writeFile("config.xml", settings(launcher + "<folder name='kept'/></launcher>"));
  std::vector<std::string> firstAndLast;
  auto readIds = [&] {
    const std::vector<LaunchItem>& items = ParentWindow::pInstance_->launchItems_;
    firstAndLast.push_back(items.empty() ? "none" : std::to_string(items.front().commandId) + "-" +
                                                        std::to_string(items.back().commandId));
  };
  script::then(readIds);  // reads the program's own list while it runs
  for (int reload = 0; reload < 2; ++reload) {
    chooseFromSystemMenu("Reload");
    script::then(readIds);
  }
  openLauncher();

  EXPECT_EQ(0, runThenExit());

  EXPECT_EQ((std::vector<std::string>{"1000-1599", "1600-1999", "none"}), firstAndLast);
  std::vector<desktop::TrackedMenu> shown = launcherMenusShown();
  ASSERT_EQ(1u, shown.size());
  EXPECT_EQ("kept>[]", menuText(shown[0].view.items)) << "folders still appear once the ids are used up";
}

TEST_F(LauncherMenu, ReloadAndExitDestroyEveryLauncherMenu) {
  writeFile("config.xml", settings("<launcher><folder name='a'><folder name='b'><file name='c' path='c'/></folder>"
                                   "</folder><file name='d' path='d'/></launcher>"));
  std::vector<std::size_t> menuCounts;
  for (int reload = 0; reload < 100; ++reload) {
    chooseFromSystemMenu("Reload");
  }

  EXPECT_EQ(0, runThenExit([&] { menuCounts.push_back(desktop::menuCount()); }));

  ASSERT_EQ(1u, menuCounts.size());
  EXPECT_EQ(4u, menuCounts[0]) << "the system menu and the three launcher menus, after 100 reloads";
  EXPECT_EQ(0u, desktop::menuCount()) << "nothing of ours after Exit";
}

TEST_F(LauncherMenu, FoldersNestedBeyondSixtyFourLevelsAreLeftOut) {
  std::string launcher;
  for (int level = 0; level < 1000; ++level) {
    launcher += "<folder name='f'>";
  }
  launcher += "<file name='deep' path='deep'/>";
  for (int level = 0; level < 1000; ++level) {
    launcher += "</folder>";
  }
  writeFile("config.xml", settings("<launcher>" + launcher + "<file name='after' path='a'/></launcher>"));
  std::size_t menus = 0;

  EXPECT_EQ(0, runThenExit([&] { menus = ParentWindow::pInstance_->launcherMenus_.size(); }));

  EXPECT_EQ(64u, menus) << "the root and 63 levels of folders";
  EXPECT_EQ(1, std::count(desktop::debugOutput().begin(), desktop::debugOutput().end(),
                          "launcher: a folder nested deeper than 64 levels is left out\n"));
}

}  // namespace
