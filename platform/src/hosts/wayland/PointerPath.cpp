#include "hosts/wayland/PointerPath.h"

namespace platform {
namespace wayland {

POINT PointerPath::free(POINT origin, POINT local) const { return POINT{origin.x + local.x, origin.y + local.y}; }

POINT PointerPath::press(POINT origin, POINT local) {
  holding_ = true;
  pressOrigin_ = origin;
  return free(origin, local);
}

POINT PointerPath::held(POINT origin, POINT local) const {
  return holding_ ? free(pressOrigin_, local) : free(origin, local);
}

}  // namespace wayland
}  // namespace platform
