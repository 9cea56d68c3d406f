// Element lookups: attributes by name, children by name and position.
#include "lib/xerces/XMLElement.h"

namespace lib {
namespace xerces {

XMLElement::XMLElement(const char* name) : XMLNode(XML_ELEMENT), name_(name), pParent_(nullptr) {}

// Frees the element's own texts and lists; the children belong to the tree's
// owner, and the parent is not touched.
XMLElement::~XMLElement() = default;

XMLNode* XMLElement::getChild(std::size_t index) const {
  if (index >= children_.size()) {
    return nullptr;
  }
  return children_[index];
}

void XMLElement::addChild(XMLNode* node) { children_.push_back(node); }

const char* XMLElement::getAttribute(const char* name) const {
  for (const auto& attribute : attributes_) {
    if (attribute.first == name) {
      return attribute.second.c_str();
    }
  }
  return nullptr;
}

const char* XMLElement::getAttributeName(std::size_t index) const {
  return index < attributes_.size() ? attributes_[index].first.c_str() : nullptr;
}

void XMLElement::setAttribute(const char* name, const char* value) {
  for (auto& attribute : attributes_) {
    if (attribute.first == name) {
      attribute.second = value;
      return;
    }
  }
  attributes_.emplace_back(name, value);
}

XMLElement* XMLElement::findChild(const char* name, std::int32_t index) const {
  // A countdown that stops once it would fall below zero: a negative index
  // therefore finds the first match. Testing before decrementing keeps the
  // smallest index from overflowing.
  std::int32_t remaining = index;
  for (XMLNode* child : children_) {
    if (child->getType() != XML_ELEMENT) {
      continue;
    }
    XMLElement* element = static_cast<XMLElement*>(child);
    if (element->name_ != name) {
      continue;
    }
    if (remaining <= 0) {
      return element;
    }
    --remaining;
  }
  return nullptr;
}

}  // namespace xerces
}  // namespace lib
