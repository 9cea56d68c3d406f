#include "lib/xerces/XMLText.h"

namespace lib {
namespace xerces {

XMLText::XMLText(const char* text) : XMLNode(XML_TEXT), text_(text) {}

XMLText::~XMLText() = default;

}  // namespace xerces
}  // namespace lib
