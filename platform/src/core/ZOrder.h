// The one owner of the Z order of top-level windows. Its rules hold for
// every call that places, raises, re-bands, shows or removes a window:
// topmost windows lead; an owned window stays above its owner, follows it
// into and out of the topmost band, and is hidden while its owner is
// minimized.
#pragma once

#include "core/Desktop.h"

namespace platform {
namespace zorder {

// A new window goes to the top of its band. An owned window is born topmost
// when its owner is topmost, so it starts above it.
void addNewWindow(Window& window);

// Takes the window out of the Z order.
void removeWindow(HWND window);

// The window goes to the top of its band, the windows it owns above it.
void bringToTop(HWND window);

// The window and the windows it owns go into (or out of) the topmost band,
// at its top. A window already in the asked band only goes to its top when
// it joins the topmost band.
void setTopmost(HWND window, bool topmost);

// Hides the visible windows the owner owns, remembering them, as Win32 does
// when the owner is minimized; showOwnedWindows shows them again.
void hideOwnedWindows(HWND owner);
void showOwnedWindows(HWND owner);

// Shows or hides one window, telling the host.
void setVisible(Window& window, bool visible);

bool isTopmost(HWND window);

}  // namespace zorder
}  // namespace platform
