// What the GTK host adds that needs no display: menu texts, the input
// shape against the desktop's own hit rule, message box kinds, and what the
// shell's "open" makes of a path.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>
#include <platform/desktop.h>

#include <cstring>
#include <fstream>
#include <sys/stat.h>

#include "core/Desktop.h"
#include "hosts/gtk/InputShape.h"
#include "hosts/gtk/MessageBoxes.h"
#include "hosts/gtk/Mnemonics.h"
#include "hosts/gtk/ShellOpen.h"
#include "support/TemporaryDirectory.h"
#include "user32/LayeredWindow.h"

namespace {

using platform::gtk::ShellTarget;

TEST(GtkMenuText, AmpersandMarksBecomeUnderscores) {
  const struct {
    const char* win32;
    const char* gtk;
  } cases[] = {{"TopMost", "TopMost"},  {"&Reload", "_Reload"},     {"Tom && Jerry", "Tom & Jerry"},
               {"snake_case", "snake__case"}, {"a&&&b", "a&_b"}, {"dangling&", "dangling"}};
  for (const auto& entry : cases) {
    EXPECT_EQ(entry.gtk, platform::gtk::mnemonicLabel(entry.win32)) << "for \"" << entry.win32 << "\"";
  }
}

// Every pixel is in the shape exactly when the desktop sends the mouse to
// the window there.
TEST(GtkInputShape, HoldsExactlyThePixelsTheDesktopHits) {
  const int width = 12, height = 6;
  std::vector<std::uint32_t> pixels;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      bool hole = x >= 3 && x < 7 && y >= 1 && y < 4;
      std::uint32_t alpha = hole ? 0 : (x + y) % 5 == 0 ? 1 : x == 11 ? 0 : 255;
      pixels.push_back(alpha << 24 | (alpha ? 0x000001u : 0));
    }
  }
  for (BYTE constantAlpha : {255, 128, 1, 0}) {
    SCOPED_TRACE("constant alpha " + std::to_string(constantAlpha));
    platform::desktop::reset();
    WNDCLASSEXA windowClass = {sizeof windowClass, 0, DefWindowProcA, 0, 0, GetModuleHandleA(NULL),
                               NULL, NULL, NULL, NULL, "Shaped", NULL};
    ASSERT_NE(0, RegisterClassExA(&windowClass));
    HWND window = CreateWindowExA(WS_EX_LAYERED, "Shaped", "", WS_POPUP | WS_VISIBLE, 100, 50, width, height, NULL,
                                  NULL, GetModuleHandleA(NULL), NULL);
    BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    void* bits = NULL;
    HBITMAP bitmap = CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    std::memcpy(bits, pixels.data(), pixels.size() * 4);
    HDC source = CreateCompatibleDC(NULL);
    HGDIOBJ previous = SelectObject(source, bitmap);
    SIZE size = {width, height};
    POINT origin = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, constantAlpha, AC_SRC_ALPHA};
    ASSERT_TRUE(UpdateLayeredWindow(window, NULL, NULL, &size, source, &origin, 0, &blend, ULW_ALPHA));
    SelectObject(source, previous);
    DeleteDC(source);
    DeleteObject(bitmap);

    std::unique_ptr<platform::desktop::LayeredContent> content = platform::desktop::layeredContent(window);
    std::vector<platform::gtk::ShapeRectangle> shape = platform::gtk::hitRectangles(platform::LayeredContentView{
        content->pixels.data(), content->width, content->height, content->width * 4, constantAlpha});
    const platform::Window& record = *platform::findWindowRecord(window);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        int covering = 0;
        for (const platform::gtk::ShapeRectangle& rectangle : shape) {
          covering += x >= rectangle.x && x < rectangle.x + rectangle.width && y >= rectangle.y &&
                      y < rectangle.y + rectangle.height;
        }
        bool hit = platform::showsLayeredPixelAt(record, POINT{100 + x, 50 + y});
        EXPECT_EQ(hit ? 1 : 0, covering) << "at (" << x << ", " << y << ")";
      }
    }
  }
}

TEST(GtkMessageBox, IconBitsChooseTheKindAndClosingIsCancelOrOk) {
  EXPECT_EQ(GTK_MESSAGE_ERROR, platform::gtk::messageTypeOf(MB_OK | MB_ICONHAND));
  EXPECT_EQ(GTK_MESSAGE_QUESTION, platform::gtk::messageTypeOf(MB_YESNO | MB_ICONQUESTION));
  EXPECT_EQ(GTK_MESSAGE_WARNING, platform::gtk::messageTypeOf(MB_OK | MB_ICONEXCLAMATION));
  EXPECT_EQ(GTK_MESSAGE_INFO, platform::gtk::messageTypeOf(MB_OKCANCEL | MB_ICONASTERISK));
  EXPECT_EQ(GTK_MESSAGE_OTHER, platform::gtk::messageTypeOf(MB_OK));
  EXPECT_EQ(IDCANCEL, platform::gtk::closingButton({IDYES, IDNO, IDCANCEL}));
  EXPECT_EQ(IDOK, platform::gtk::closingButton({IDOK}));
}

// Found as ShellExecute finds it: from the current folder, a bare name
// also on PATH.
TEST(GtkShellOpen, WhatAPathIsDecidesHowItOpens) {
  testsupport::TemporaryDirectory directory("shell");
  mkdir("folder", 0755);
  std::ofstream("notes.txt") << "notes\n";
  std::ofstream("run.sh") << "#!/bin/sh\ntrue\n";
  chmod("run.sh", 0755);
  std::ofstream("plain.txt.sh") << "just text\n";
  std::ofstream("app.desktop") << "[Desktop Entry]\nType=Application\nName=App\nExec=true\n";
  const struct {
    const char* path;
    ShellTarget target;
  } cases[] = {{"https://example.org/", ShellTarget::uri}, {"mailto:someone@example.org", ShellTarget::uri},
               {"folder", ShellTarget::folder},            {"notes.txt", ShellTarget::document},
               {"run.sh", ShellTarget::executable},        {"plain.txt.sh", ShellTarget::document},
               {"app.desktop", ShellTarget::desktopFile},  {"missing.txt", ShellTarget::missing},
               {"C:\\Windows\\notepad.exe", ShellTarget::missing}, {"", ShellTarget::missing},
               {"sh", ShellTarget::executable}};
  for (const auto& entry : cases) {
    std::string found = platform::gtk::locate(entry.path, "");
    EXPECT_EQ(static_cast<int>(entry.target), static_cast<int>(platform::gtk::classify(found)))
        << "for \"" << entry.path << "\", found as \"" << found << "\"";
  }
}

TEST(GtkShellOpen, AMissingFileOrAnotherVerbIsTheErrorShellExecuteGives) {
  std::string why;
  platform::ShellRequest missing{NULL, "open", "/nonexistent/file", "", false, "", false, SW_SHOWNORMAL};
  EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), platform::gtk::openWithShell(missing, nullptr, why));
  EXPECT_FALSE(why.empty());
  platform::ShellRequest edit{NULL, "edit", "/", "", false, "", false, SW_SHOWNORMAL};
  EXPECT_EQ(static_cast<DWORD>(SE_ERR_NOASSOC), platform::gtk::openWithShell(edit, nullptr, why));
}

}  // namespace
