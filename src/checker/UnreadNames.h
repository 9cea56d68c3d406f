// Elements and attributes the program does not read where they stand: it
// matches names exactly, so a name in another case or with a slip in it is
// silently passed over.
#pragma once

#include <string>
#include <vector>

#include "checker/ElementPlaces.h"

namespace checker {

// A warning for each attribute of `element` whose name is not in `read`.
void reportUnreadAttributes(const lib::xerces::XMLElement& element, const std::vector<std::string>& read,
                            const ElementReport& report);

// A warning that `element`, whose name is not in `read` (the names read
// where it stands), is ignored with everything inside it.
void reportUnreadElement(const lib::xerces::XMLElement& element, const std::vector<std::string>& read,
                         const ElementReport& report);

}  // namespace checker
