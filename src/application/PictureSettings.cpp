#include "application/PictureSettings.h"

#include "application/SettingsNames.h"
#include "application/SettingsNumber.h"

namespace {

// A number of the image element, or `missing` when it has no such attribute.
std::uint32_t numberOf(const lib::xerces::XMLElement& image, const char* name, std::uint32_t missing) {
  const char* text = image.getAttribute(name);
  return text != nullptr ? parseSettingsNumber(text) : missing;
}

// A size of the image element, or none when it has no such attribute: every
// number the attribute can hold is a size it gives.
std::optional<int> sizeOf(const lib::xerces::XMLElement& image, const char* name) {
  const char* text = image.getAttribute(name);
  return text != nullptr ? std::optional<int>(static_cast<int>(parseSettingsNumber(text))) : std::nullopt;
}

}  // namespace

PictureSettings readPictureSettings(const lib::xerces::XMLElement& image) {
  return PictureSettings{image.getAttribute(settings::kPath),
                         static_cast<int>(numberOf(image, settings::kX, kMissingPosition)),
                         static_cast<int>(numberOf(image, settings::kY, kMissingPosition)),
                         sizeOf(image, settings::kWidth),
                         sizeOf(image, settings::kHeight),
                         numberOf(image, settings::kColor, kMissingColor)};
}
