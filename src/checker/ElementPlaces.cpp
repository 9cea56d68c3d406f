#include "checker/ElementPlaces.h"

namespace checker {

// Iterative: a file may nest elements many thousands of levels deep.
ElementPlaces::ElementPlaces(const lib::xerces::XMLElement& root, const std::vector<Position>& elementStarts) {
  std::size_t next = 0;
  std::vector<const lib::xerces::XMLElement*> pending{&root};
  while (!pending.empty() && next < elementStarts.size()) {
    const lib::xerces::XMLElement* element = pending.back();
    pending.pop_back();
    places_[element] = elementStarts[next++];
    std::vector<const lib::xerces::XMLElement*> children = childElements(*element);
    pending.insert(pending.end(), children.rbegin(), children.rend());
  }
}

Position ElementPlaces::of(const lib::xerces::XMLElement& element) const {
  auto place = places_.find(&element);
  return place != places_.end() ? place->second : kWholeFile;
}

std::vector<const lib::xerces::XMLElement*> childElements(const lib::xerces::XMLElement& element) {
  std::vector<const lib::xerces::XMLElement*> children;
  for (std::size_t index = 0; index < element.getChildCount(); ++index) {
    const lib::xerces::XMLNode* child = element.getChild(index);
    if (child->getType() == lib::xerces::XML_ELEMENT) {
      children.push_back(static_cast<const lib::xerces::XMLElement*>(child));
    }
  }
  return children;
}

}  // namespace checker
