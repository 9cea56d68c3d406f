// Message boxes as the user's input reaches them.
#pragma once

#include <string>

namespace platform {

// Presses a button of the innermost open message box; gives why it could
// not be pressed, or an empty text.
std::string pressMessageBoxButton(int button);

}  // namespace platform
