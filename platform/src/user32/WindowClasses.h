// Window classes, registered per module.
#pragma once

#include "core/Desktop.h"

namespace platform {

// The class of that name (or atom, as MAKEINTATOM) in the module; a null
// module is the program's. Null when there is none.
WindowClass* findWindowClass(HINSTANCE module, LPCSTR name);

}  // namespace platform
