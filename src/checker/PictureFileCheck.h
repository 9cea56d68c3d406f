// A picture file loaded as a picture window loads it, through GDI+ (the
// layer's on Linux): the checker's verdict is GDI+'s, not a guess from the
// file's name or first bytes.
#pragma once

#include <optional>
#include <string>

namespace checker {

struct PictureSize {
  unsigned width;
  unsigned height;
};

struct PictureFileCheck {
  std::optional<PictureSize> size;  // the picture's own size when it loads
  std::string failure;              // why it does not, for the finding
};

// Loads the picture `path` names (null: no path attribute), relative to the
// current directory. Expects GDI+ started.
PictureFileCheck checkPictureFile(const char* path);

}  // namespace checker
