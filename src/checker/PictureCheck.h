// One image child of the root, as the picture step makes a picture window
// of it: its attributes, its numbers, and whether its picture loads.
#pragma once

#include "checker/ElementPlaces.h"

namespace checker {

void checkPicture(const lib::xerces::XMLElement& image, const ElementReport& report);

}  // namespace checker
