// The character data of one text node, trimmed; it may be empty.
#pragma once

#include <string>

#include "lib/xerces/XMLNode.h"

namespace lib {
namespace xerces {

class XMLText : public XMLNode {
 public:
  explicit XMLText(const char* text);
  ~XMLText() override;

  const char* getText() const { return text_.c_str(); }

 private:
  std::string text_;
};

}  // namespace xerces
}  // namespace lib
