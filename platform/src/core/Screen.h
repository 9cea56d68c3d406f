// The screen: its size, and what it shows composed from the windows, as the
// screen DC, the test API and a host read it.
#pragma once

#include <windows.h>

#include "core/Surface.h"

namespace platform {

// The screen's size, as the host knows it.
SIZE screenSize();

// Draws what the desktop shows onto the target, whose top left pixel is the
// screen point `origin`: the background, then every visible window from the
// bottom of the Z order up. Any region composes, also beyond the screen's
// edges.
void composeScreen(const Surface& target, POINT origin);

// The whole screen, composed now; kept in the desktop for the screen DC.
// Null only when memory is short.
Surface* composedScreen();

}  // namespace platform
