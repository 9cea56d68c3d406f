// The node base's constructor and destructor, out of line so the vtable and
// the count of live nodes have one home.
#include "lib/xerces/XMLNode.h"

namespace lib {
namespace xerces {

namespace {
// The program builds and deletes its trees on one thread.
std::size_t liveNodes = 0;
}  // namespace

XMLNode::XMLNode(XMLNodeType type) : type_(type) { ++liveNodes; }

XMLNode::~XMLNode() { --liveNodes; }

std::size_t XMLNode::liveCount() { return liveNodes; }

}  // namespace xerces
}  // namespace lib
