// The first launcher element, as the launcher menu is built from it in a
// fresh run of the program: which entries and folders make it in, with
// which captions and ids.
#pragma once

#include "checker/ElementPlaces.h"

namespace checker {

void checkLauncher(const lib::xerces::XMLElement& launcher, const ElementReport& report);

}  // namespace checker
