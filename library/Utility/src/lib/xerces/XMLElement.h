// An element of the settings tree: its tag name, its attributes and its
// children in document order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "lib/xerces/XMLNode.h"

namespace lib {
namespace xerces {

// Names are compared byte for byte and case-sensitively. The element does
// not own its children: the manager that built the tree deletes every node
// itself, so destroying an element leaves its children alone.
class XMLElement : public XMLNode {
 public:
  explicit XMLElement(const char* name);
  ~XMLElement() override;

  // The tag name; the text stays valid as long as the element.
  const char* getName() const { return name_.c_str(); }

  XMLElement* getParent() const { return pParent_; }
  void setParent(XMLElement* pParent) { pParent_ = pParent; }

  std::size_t getChildCount() const { return children_.size(); }

  // The child at `index` (any kind), or null when `index` is not below the
  // child count.
  XMLNode* getChild(std::size_t index) const;

  // Appends `node` as the last child; no check for null or duplicates.
  void addChild(XMLNode* node);

  // The value of the attribute called `name`, or null when there is none.
  // The text stays valid until the element goes or the value is replaced.
  const char* getAttribute(const char* name) const;

  // How many attributes it has, and the name of the one at `index` in the
  // order they were set (null when `index` is not below the count): for a
  // reader that must see every name, not only those it asks for.
  std::size_t getAttributeCount() const { return attributes_.size(); }
  const char* getAttributeName(std::size_t index) const;

  // Replaces the value of the attribute called `name` where it stands, or
  // appends a new attribute at the end.
  void setAttribute(const char* name, const char* value);

  // The `index`-th child element called `name` (0 is the first), or null.
  // Texts, comments and elements of other names do not count; a negative
  // index finds the first match.
  XMLElement* findChild(const char* name, std::int32_t index) const;

 private:
  const std::string name_;
  // A deque, not a vector: appending never moves the existing pairs, and a
  // short value is stored inside its string, so a vector's growth would
  // invalidate texts getAttribute has already handed out.
  std::deque<std::pair<std::string, std::string>> attributes_;
  XMLElement* pParent_;
  std::vector<XMLNode*> children_;
};

}  // namespace xerces
}  // namespace lib
