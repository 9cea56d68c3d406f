// Where the pointer is on the screen, from the surface-local points Wayland
// gives. Without a button held a point is relative to where the surface is
// now. While a button is held, sway (and wlroots' seat, which most wlroots
// desktops use) keeps reporting it relative to where the surface was at
// the press, however far the surface has moved since: so a dragged
// picture's pointer is the press place plus the point. Taken relative to
// where the surface is now instead, each step would add the whole way
// travelled again, and the picture would run away from the pointer.
#pragma once

#include <windows.h>

namespace platform {
namespace wayland {

class PointerPath {
 public:
  // A point on a surface whose top left is at `origin`, no button held.
  POINT free(POINT origin, POINT local) const;

  // A button goes down at `local` on the surface at `origin`.
  POINT press(POINT origin, POINT local);
  // A point while it is held: relative to the press place.
  POINT held(POINT origin, POINT local) const;
  void release() { holding_ = false; }

 private:
  bool holding_ = false;
  POINT pressOrigin_ = {0, 0};
};

}  // namespace wayland
}  // namespace platform
