// What the whole-program tests write for the program and read back from the
// model desktop. Free of the test framework, so the program fuzzer uses it
// too.
#pragma once

#include <windows.h>

#include <platform/host.h>

#include <string>
#include <vector>

// A settings file holding `content` inside its system element.
std::string settings(const std::string& content);

// An image element with these attributes.
std::string image(const std::string& attributes);

// The user opens the system menu from the tray icon and chooses an item.
void chooseFromSystemMenu(const std::string& item);

// The program's owner window, or NULL.
HWND findOwnerWindow();

// The picture window of that index (its class is ChildWindow<index>), or NULL.
HWND findPicture(int index);

std::string className(HWND window);

// The window's rectangle on the screen; all zero for a handle that is no window.
RECT rectOf(HWND window);

// "left,top,right,bottom", for comparisons whose failure shows all four.
std::string describe(const RECT& rect);

// A menu as one line: "caption=id" entries ("*" after a checked one),
// "caption>[...]" submenus, "-" for a separator, "|" between items.
std::string menuText(const std::vector<platform::MenuItemView>& items);

// A failed run ends as the process would, without its stop hooks: the
// application object, its owner window, the tray icon and the libraries
// stay. Whatever runs next in the same process must not inherit them, so
// this takes them down as a normal run's end would; nothing after a normal
// run.
void endFailedRun();
