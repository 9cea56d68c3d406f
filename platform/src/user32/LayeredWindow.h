// Layered windows as the mouse meets them.
#pragma once

#include "core/Desktop.h"

namespace platform {

// Whether the layered window shows anything at the screen point: its
// content's alpha there, times the constant alpha, is above 0. Where it
// shows nothing, clicks pass through to the window below, as on Windows;
// a constant alpha of 0 lets every click through. False outside the
// content and for a window without content.
bool showsLayeredPixelAt(const Window& window, POINT point);

}  // namespace platform
