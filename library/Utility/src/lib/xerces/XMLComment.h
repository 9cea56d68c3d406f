// The content of one comment, trimmed; it may be empty.
#pragma once

#include <string>

#include "lib/xerces/XMLNode.h"

namespace lib {
namespace xerces {

class XMLComment : public XMLNode {
 public:
  explicit XMLComment(const char* text);
  ~XMLComment() override;

  const char* getText() const { return text_.c_str(); }

 private:
  std::string text_;
};

}  // namespace xerces
}  // namespace lib
