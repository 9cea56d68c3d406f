#include "lib/xerces/XMLComment.h"

namespace lib {
namespace xerces {

XMLComment::XMLComment(const char* text) : XMLNode(XML_COMMENT), text_(text) {}

XMLComment::~XMLComment() = default;

}  // namespace xerces
}  // namespace lib
