// The base of the settings tree: elements, texts and comments, each told
// apart by its kind code rather than by virtual calls.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lib {
namespace xerces {

// The tree's own kind codes; they are not the XML library's node types
// (which are 1, 3 and 8 for the same kinds).
enum XMLNodeType : std::int32_t {
  XML_ELEMENT = 1,
  XML_TEXT = 2,
  XML_COMMENT = 3,
};

// A node of the tree. Code that needs an element checks the kind code for
// XML_ELEMENT before it converts the pointer to XMLElement.
class XMLNode {
 public:
  virtual ~XMLNode();

  XMLNode(const XMLNode&) = delete;
  XMLNode& operator=(const XMLNode&) = delete;

  XMLNodeType getType() const { return type_; }

  // How many nodes exist now, of every tree: a reload that leaves this higher
  // than before has lost part of its old tree.
  static std::size_t liveCount();

 protected:
  explicit XMLNode(XMLNodeType type);

 private:
  const XMLNodeType type_;
};

}  // namespace xerces
}  // namespace lib
