// The menu being tracked, as the user's input reaches it.
#pragma once

#include <string>

#include "core/Desktop.h"

namespace platform {

bool isTrackingMenu();

// The user chooses an item of the tracked menu, or dismisses it; each gives
// why it could not be done, or an empty text.
std::string chooseMenuItem(const input::ChooseMenuItem& choice);
std::string dismissMenu();

}  // namespace platform
