// The node base's destructor, out of line so the vtable has one home.
#include "lib/xerces/XMLNode.h"

namespace lib {
namespace xerces {

XMLNode::~XMLNode() = default;

}  // namespace xerces
}  // namespace lib
