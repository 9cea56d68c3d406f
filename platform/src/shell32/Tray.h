// The notification area, as window destruction and the user's input reach it.
#pragma once

#include <string>

#include "core/Desktop.h"

namespace platform {

// The shell drops the icons of a window that is gone.
void removeTrayIconsOf(HWND window);

// Posts the mouse message to the icon's window as its callback message;
// gives why it could not, or an empty text.
std::string clickTrayIcon(const input::TrayIconMouse& mouse);

}  // namespace platform
