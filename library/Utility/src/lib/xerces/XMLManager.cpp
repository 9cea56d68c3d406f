// The XML library's side of the manager: start and stop, the parse, the
// conversion of the library's document into the node tree, and the tree's
// deletion. Xerces names stay qualified: with windows.h in the same unit,
// names such as DOMDocument would be ambiguous on MinGW.
#include "lib/xerces/XMLManager.h"

#include <xercesc/dom/DOM.hpp>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/XMLString.hpp>

#include <memory>
#include <vector>

#include "lib/winapi/Diagnostics.h"
#include "lib/xerces/ConfinedParser.h"
#include "lib/xerces/XMLComment.h"
#include "lib/xerces/XMLText.h"

namespace lib {
namespace xerces {

namespace {

// One 16-bit text of the library transcoded to 8-bit text in the local code
// page; released when it goes, also when a conversion step throws.
class TranscodedText {
 public:
  explicit TranscodedText(const XMLCh* text)
      : text_(xercesc::XMLString::transcode(text, xercesc::XMLPlatformUtils::fgMemoryManager)) {}
  ~TranscodedText() { xercesc::XMLString::release(&text_, xercesc::XMLPlatformUtils::fgMemoryManager); }

  TranscodedText(const TranscodedText&) = delete;
  TranscodedText& operator=(const TranscodedText&) = delete;

  // Never null: a text the library gives as null reads as empty.
  const char* get() const { return text_ ? text_ : ""; }

  // Removes leading and trailing white space in place.
  void trim() {
    if (text_) {
      xercesc::XMLString::trim(text_);
    }
  }

 private:
  char* text_;
};

// Copies every attribute of the library's element onto `element`, in the
// order of the library's attribute map, untrimmed.
void convertAttributes(const xercesc::DOMElement* domElement, XMLElement* element) {
  const xercesc::DOMNamedNodeMap* attributes = domElement->getAttributes();
  for (XMLSize_t index = 0; index < attributes->getLength(); ++index) {
    const xercesc::DOMAttr* attribute = static_cast<const xercesc::DOMAttr*>(attributes->item(index));
    TranscodedText name(attribute->getName());
    TranscodedText value(attribute->getValue());
    element->setAttribute(name.get(), value.get());
  }
}

XMLElement* convertElement(XMLElement* parent, const xercesc::DOMElement* domElement) {
  TranscodedText name(domElement->getTagName());
  std::unique_ptr<XMLElement> element(new XMLElement(name.get()));
  convertAttributes(domElement, element.get());
  element->setParent(parent);
  if (parent) {
    parent->addChild(element.get());
  }
  return element.release();
}

// Texts and comments: the character data, trimmed, so white space between
// elements becomes an empty node that stays in the tree.
template <typename Node>
Node* convertCharacterData(XMLElement* parent, const xercesc::DOMNode* domNode) {
  TranscodedText data(static_cast<const xercesc::DOMCharacterData*>(domNode)->getData());
  data.trim();
  std::unique_ptr<Node> node(new Node(data.get()));
  parent->addChild(node.get());
  return node.release();
}

// The tree node for one library node, added to `parent`; its children are
// not visited here. Null for every kind the tree does not keep (CDATA
// sections, entity references, processing instructions...): nothing below
// such a node is converted either.
XMLNode* convertNode(XMLElement* parent, const xercesc::DOMNode* domNode) {
  if (!domNode) {
    return nullptr;
  }
  switch (domNode->getNodeType()) {
    case xercesc::DOMNode::ELEMENT_NODE:
      return convertElement(parent, static_cast<const xercesc::DOMElement*>(domNode));
    case xercesc::DOMNode::TEXT_NODE:
      return convertCharacterData<XMLText>(parent, domNode);
    case xercesc::DOMNode::COMMENT_NODE:
      return convertCharacterData<XMLComment>(parent, domNode);
    default:
      return nullptr;
  }
}

// Every node below `root`, depth first in document order; the root itself
// is not in the list. Iterative, so a file nested many thousands of levels
// deep cannot exhaust the stack.
std::vector<XMLNode*> collectDescendants(XMLElement* root) {
  std::vector<XMLNode*> descendants;
  // Each entry: an element and the index of its next child to visit.
  std::vector<std::pair<XMLElement*, std::size_t>> pending{{root, 0}};
  while (!pending.empty()) {
    XMLElement* element = pending.back().first;
    std::size_t index = pending.back().second++;
    XMLNode* child = element->getChild(index);
    if (!child) {
      pending.pop_back();
      continue;
    }
    descendants.push_back(child);
    if (child->getType() == XML_ELEMENT) {
      pending.emplace_back(static_cast<XMLElement*>(child), 0);
    }
  }
  return descendants;
}

// Deletes every node one by one, root last: elements do not own their
// children.
void deleteTree(XMLElement* root) {
  for (XMLNode* node : collectDescendants(root)) {
    delete node;
  }
  delete root;
}

// The tree for the document element, children in document order; null when
// there is none. Iterative for the same reason as collectDescendants. When a
// step throws, the nodes built so far are deleted before the exception goes
// on.
XMLElement* convertTree(const xercesc::DOMElement* documentElement) {
  XMLElement* root = static_cast<XMLElement*>(convertNode(nullptr, documentElement));
  if (!root) {
    return nullptr;
  }
  // Each entry: a converted element and the library node of its next child.
  std::vector<std::pair<XMLElement*, const xercesc::DOMNode*>> pending{{root, documentElement->getFirstChild()}};
  try {
    while (!pending.empty()) {
      XMLElement* parent = pending.back().first;
      const xercesc::DOMNode* domChild = pending.back().second;
      if (!domChild) {
        pending.pop_back();
        continue;
      }
      pending.back().second = domChild->getNextSibling();
      XMLNode* child = convertNode(parent, domChild);
      if (child && child->getType() == XML_ELEMENT) {
        pending.emplace_back(static_cast<XMLElement*>(child), domChild->getFirstChild());
      }
    }
  } catch (...) {
    deleteTree(root);
    throw;
  }
  return root;
}

}  // namespace

void XMLManager::initialize() {
  try {
    xercesc::XMLPlatformUtils::Initialize("en_US");
  } catch (...) {
    lib::winapi::debugPrint("xerces initialize error\n");
  }
}

void XMLManager::terminate() { xercesc::XMLPlatformUtils::Terminate(); }

bool XMLManager::load(const char* fileName, XMLReadObserver* observer) {
  // The library's memory manager exists only between a successful start and
  // its stop. Without it the library cannot be called at all, so a load then
  // fails the way an unreadable file does.
  if (!xercesc::XMLPlatformUtils::fgMemoryManager) {
    lib::winapi::debugPrint("XMLManager load error : file %s\n", fileName);
    return false;
  }
  try {
    ConfinedParser parser(observer);
    xercesc::DOMDocument* document = parser.parseURI(fileName);
    // Past the bound on entities the document holds whatever the library
    // built until it stopped; a file that tries that is refused whole.
    if (!document || parser.expansionLimitPassed()) {
      throw "";
    }
    pRoot_ = convertTree(document->getDocumentElement());
  } catch (...) {
    lib::winapi::debugPrint("XMLManager load error : file %s\n", fileName);
    return false;
  }
  return true;
}

void XMLManager::unload() {
  if (!pRoot_) {
    return;
  }
  deleteTree(pRoot_);
  pRoot_ = nullptr;
}

}  // namespace xerces
}  // namespace lib
