// Icons made from icon groups (the bytes of an .ico file): the record
// behind their HICON and the picture of the image that best fits the size
// asked for, decoded by gdk-pixbuf and scaled by pixman.
#pragma once

#include <platform/desktop.h>

#include <memory>
#include <vector>

#include "core/Desktop.h"
#include "core/Surface.h"

namespace platform {

struct IconRecord : HandleObject {
  static const HandleKind kKind = HandleKind::icon;

  std::unique_ptr<Surface> picture;  // premultiplied, as a host draws it
  desktop::IconImage image;          // straight alpha, as tests read it
  bool shared;                       // system or LR_SHARED icons survive DestroyIcon
};

// The icon of the group at that size (0 for the chosen image's own); null
// for data that is no usable icon, or when memory is short.
std::unique_ptr<IconRecord> iconFromGroup(const std::vector<unsigned char>& group, int width, int height, bool shared);

}  // namespace platform
