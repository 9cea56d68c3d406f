#include "checker/PictureCheck.h"

#include "application/PictureSettings.h"
#include "application/SettingsNames.h"
#include "application/SettingsNumber.h"
#include "checker/NumberCheck.h"
#include "checker/PictureFileCheck.h"
#include "checker/UnreadNames.h"

namespace checker {

namespace {

const char kHidden[] = "keeps this picture hidden";

struct NumberAttribute {
  const char* name;
  NumberUse use;
};

const NumberAttribute kNumbers[] = {{settings::kX, NumberUse::X},
                                    {settings::kY, NumberUse::Y},
                                    {settings::kWidth, NumberUse::Size},
                                    {settings::kHeight, NumberUse::Size},
                                    {settings::kColor, NumberUse::Color}};

void reportMisreadNumbers(const lib::xerces::XMLElement& image, const ElementReport& report) {
  for (const NumberAttribute& number : kNumbers) {
    const char* text = image.getAttribute(number.name);
    if (text == nullptr) {
      continue;
    }
    if (std::optional<std::string> warning = misreadNumber(number.name, text, number.use)) {
      report.add(image, Severity::Warning, *warning);
    }
  }
}

void reportHiddenSize(const lib::xerces::XMLElement& image, const char* dimension, std::optional<int> size,
                      const ElementReport& report) {
  if (size && *size <= 0) {
    report.add(image, Severity::Warning,
               std::string("a ") + dimension + " of " + std::to_string(*size) + ": the program " + kHidden);
  }
}

// A colour written with six hexadecimal digits or fewer has no alpha byte,
// and an alpha of 0 is a window nobody sees.
void reportInvisibleColor(const lib::xerces::XMLElement& image, std::uint32_t color, const ElementReport& report) {
  if ((color >> 24) != 0) {
    return;
  }
  const char* text = image.getAttribute(settings::kColor);
  SettingsNumberReading reading = readSettingsNumber(text);
  std::string shown = shownValue(color, NumberUse::Color);
  if (reading.base == 16 && reading.digitCount == 6) {
    report.add(image, Severity::Warning,
               "color=" + quoted(text) + " has six hexadecimal digits, no alpha byte: it is " + shown +
                   ", and its alpha of 0 makes the picture invisible (opaque is 0xFF" + shown.substr(4) + ")");
    return;
  }
  report.add(image, Severity::Warning, "color " + shown + " has an alpha of 0: the picture is invisible");
}

void reportDefaults(const lib::xerces::XMLElement& image, const std::optional<PictureSize>& own,
                    const ElementReport& report) {
  auto noteMissing = [&](const char* name, const std::string& value) {
    if (image.getAttribute(name) == nullptr) {
      report.add(image, Severity::Note, std::string("no ") + name + ": the program uses " + value);
    }
  };
  noteMissing(settings::kX, std::to_string(kMissingPosition));
  noteMissing(settings::kY, std::to_string(kMissingPosition));
  noteMissing(settings::kWidth, "the picture's own width" + (own ? ", " + std::to_string(own->width) : ""));
  noteMissing(settings::kHeight, "the picture's own height" + (own ? ", " + std::to_string(own->height) : ""));
  noteMissing(settings::kColor, shownValue(kMissingColor, NumberUse::Color) + ", untinted and opaque");
}

}  // namespace

void checkPicture(const lib::xerces::XMLElement& image, const ElementReport& report) {
  PictureSettings picture = readPictureSettings(image);
  PictureFileCheck file = checkPictureFile(picture.path);
  if (!file.size) {
    report.add(image, Severity::Error,
               "picture not loaded, " + file.failure + ": the program shows its \"load error\" box and " + kHidden);
  }
  reportUnreadAttributes(image, {settings::kX, settings::kY, settings::kWidth, settings::kHeight, settings::kColor,
                                 settings::kPath},
                         report);
  reportMisreadNumbers(image, report);
  reportHiddenSize(image, "width", picture.width, report);
  reportHiddenSize(image, "height", picture.height, report);
  reportInvisibleColor(image, picture.color, report);
  reportDefaults(image, file.size, report);
}

}  // namespace checker
