// Telling the host what changed about a window, with the window as it is
// now: a host needs nothing of the model but what it is told.
#pragma once

#include "core/Desktop.h"

namespace platform {

void tellHost(const Window& window, WindowChange change);

}  // namespace platform
