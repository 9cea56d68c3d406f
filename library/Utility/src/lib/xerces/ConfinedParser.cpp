#include "lib/xerces/ConfinedParser.h"

#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/framework/XMLErrorCodes.hpp>
#include <xercesc/internal/XMLScanner.hpp>
#include <xercesc/sax/Locator.hpp>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/XMLResourceIdentifier.hpp>
#include <xercesc/util/XMLString.hpp>
#include <xercesc/util/XMLUni.hpp>
#include <xercesc/validators/DTD/DTDEntityDecl.hpp>

#include <algorithm>
#include <utility>

namespace lib {
namespace xerces {

namespace {

std::string narrow(const XMLCh* text) {
  char* transcoded = xercesc::XMLString::transcode(text, xercesc::XMLPlatformUtils::fgMemoryManager);
  std::string result = transcoded ? transcoded : "";
  xercesc::XMLString::release(&transcoded, xercesc::XMLPlatformUtils::fgMemoryManager);
  return result;
}

XMLPosition positionOf(XMLFileLoc line, XMLFileLoc column) {
  return XMLPosition{static_cast<std::size_t>(line), static_cast<std::size_t>(column)};
}

XMLPosition positionOf(const xercesc::Locator* locator) {
  return locator ? positionOf(locator->getLineNumber(), locator->getColumnNumber()) : XMLPosition{0, 0};
}

// Stops the scan the way the library's own fatal errors do: the scanner
// takes an error code thrown through it as its first failure and returns.
[[noreturn]] void stopScanning() { throw xercesc::XMLErrs::EntityExpansionLimitExceeded; }

bool isPredefined(const LibraryText& name) {
  static const char* const kNames[] = {"lt", "gt", "amp", "apos", "quot"};
  for (const char* each : kNames) {
    if (name.size() == std::char_traits<char>::length(each) && std::equal(name.begin(), name.end(), each)) {
      return true;
    }
  }
  return false;
}

// The references "&name;" in an entity's replacement text, in order, and
// the length of the text around them. Character references were replaced
// when the entity was declared; one written as "&#38;#..." counts as one
// character.
struct ValueParts {
  std::size_t literalLength = 0;
  std::vector<LibraryText> references;
};

ValueParts partsOf(const LibraryText& value) {
  ValueParts parts;
  std::size_t at = 0;
  while (at < value.size()) {
    std::size_t end = value[at] == xercesc::chAmpersand ? value.find(xercesc::chSemiColon, at)
                                                        : LibraryText::npos;
    if (end == LibraryText::npos) {
      ++parts.literalLength;
      ++at;
      continue;
    }
    LibraryText name = value.substr(at + 1, end - at - 1);
    if (name.empty() || name[0] == xercesc::chPound || isPredefined(name)) {
      ++parts.literalLength;
    } else {
      parts.references.push_back(std::move(name));
    }
    at = end + 1;
  }
  return parts;
}

std::size_t saturatingSum(std::size_t first, std::size_t second) {
  return first > kLongestEntityText - second ? kLongestEntityText + 1 : first + second;
}

}  // namespace

xercesc::InputSource* RefusingResolver::resolveEntity(xercesc::XMLResourceIdentifier* resource) {
  if (observer_) {
    observer_->problemMet(XMLProblem{XMLProblemKind::ExternalRefused, positionOf(resource->getLocator()),
                                     narrow(resource->getSystemId())});
  }
  static const XMLByte kNothing[] = {0};
  return new xercesc::MemBufInputSource(kNothing, 0, resource->getSystemId(), false,
                                        xercesc::XMLPlatformUtils::fgMemoryManager);
}

ConfinedParser::ConfinedParser(XMLReadObserver* observer)
    : DOMLSParserImpl(nullptr, xercesc::XMLPlatformUtils::fgMemoryManager, nullptr),
      observer_(observer),
      resolver_(observer) {
  securityManager_.setEntityExpansionLimit(kEntityExpansionLimit);
  xercesc::DOMConfiguration* configuration = getDomConfig();
  configuration->setParameter(xercesc::XMLUni::fgXercesEntityResolver, static_cast<const void*>(&resolver_));
  configuration->setParameter(xercesc::XMLUni::fgXercesSecurityManager, static_cast<const void*>(&securityManager_));
  // Should the resolver ever answer nothing, the library must not open the
  // entity itself.
  configuration->setParameter(xercesc::XMLUni::fgXercesDisableDefaultEntityResolution, true);
  // The external subset is not asked for at all (doctypeDecl tells of it):
  // skipped, it reads as empty, as a resolved one would, and the library's
  // scan of an external subset leaks the entity it makes for it.
  configuration->setParameter(xercesc::XMLUni::fgXercesLoadExternalDTD, false);
  // Errors reach error() below only with a reporter; the library's own
  // handling of them stays as it is (it stops at the first fatal one).
  getScanner()->setErrorReporter(this);
}

XMLPosition ConfinedParser::locatorPosition() const { return positionOf(getScanner()->getLocator()); }

void ConfinedParser::report(XMLProblemKind kind, XMLPosition position, std::string text) {
  if (observer_) {
    observer_->problemMet(XMLProblem{kind, position, std::move(text)});
  }
}

void ConfinedParser::error(const unsigned int code, const XMLCh* const domain,
                           const xercesc::XMLErrorReporter::ErrTypes type, const XMLCh* const text,
                           const XMLCh* const systemId, const XMLCh* const publicId, const XMLFileLoc line,
                           const XMLFileLoc column) {
  if (type == xercesc::XMLErrorReporter::ErrType_Fatal) {
    bool inXMLDomain = xercesc::XMLString::equals(domain, xercesc::XMLUni::fgXMLErrDomain);
    XMLProblemKind kind = XMLProblemKind::Fatal;
    if (inXMLDomain && code == xercesc::XMLErrs::AttrAlreadyUsedInSTag) {
      kind = XMLProblemKind::RepeatedAttribute;
    } else if (inXMLDomain && code == xercesc::XMLErrs::EntityExpansionLimitExceeded) {
      kind = XMLProblemKind::EntityExpansionLimit;
      expansionLimitPassed_ = true;
    }
    std::string limit = "more than " + std::to_string(kEntityExpansionLimit) + " entity references";
    report(kind, positionOf(line, column), kind == XMLProblemKind::EntityExpansionLimit ? limit : narrow(text));
  }
  DOMLSParserImpl::error(code, domain, type, text, systemId, publicId, line, column);
}

void ConfinedParser::startElement(const xercesc::XMLElementDecl& elementDecl, const unsigned int uriId,
                                  const XMLCh* const prefix,
                                  const xercesc::RefVectorOf<xercesc::XMLAttr>& attributes,
                                  const XMLSize_t attributeCount, const bool isEmpty, const bool isRoot) {
  if (entityDepth_ == 0 && observer_) {
    observer_->elementStarted(locatorPosition());
  }
  DOMLSParserImpl::startElement(elementDecl, uriId, prefix, attributes, attributeCount, isEmpty, isRoot);
}

void ConfinedParser::startEntityReference(const xercesc::XMLEntityDecl& entityDecl) {
  ++entityDepth_;
  DOMLSParserImpl::startEntityReference(entityDecl);
}

void ConfinedParser::endEntityReference(const xercesc::XMLEntityDecl& entityDecl) {
  --entityDepth_;
  DOMLSParserImpl::endEntityReference(entityDecl);
}

void ConfinedParser::doctypeDecl(const xercesc::DTDElementDecl& elementDecl, const XMLCh* const publicId,
                                 const XMLCh* const systemId, const bool hasInternalSubset,
                                 const bool hasExternalSubset) {
  if (hasExternalSubset && systemId) {
    report(XMLProblemKind::ExternalRefused, locatorPosition(), narrow(systemId));
  }
  DOMLSParserImpl::doctypeDecl(elementDecl, publicId, systemId, hasInternalSubset, hasExternalSubset);
}

void ConfinedParser::entityDecl(const xercesc::DTDEntityDecl& entityDecl, const bool isParameterEntity,
                                const bool isIgnored) {
  // A repeated declaration is ignored by the library; the first one holds.
  if (!isParameterEntity && !isIgnored && !entityDecl.isExternal() && entityDecl.getValue()) {
    LibraryText name = entityDecl.getName();
    declarationOrder_.push_back(name);
    entities_[name] = DeclaredEntity{LibraryText(entityDecl.getValue(), entityDecl.getValueLen()),
                                     locatorPosition()};
  }
  DOMLSParserImpl::entityDecl(entityDecl, isParameterEntity, isIgnored);
}

void ConfinedParser::endIntSubset() {
  for (const LibraryText& name : declarationOrder_) {
    if (expandedLength(name) > kLongestEntityText) {
      expansionLimitPassed_ = true;
      report(XMLProblemKind::EntityExpansionLimit, entities_[name].position,
             "entity \"" + narrow(name.c_str()) + "\" longer than " + std::to_string(kLongestEntityText) +
                 " characters once expanded");
      stopScanning();
    }
  }
  DOMLSParserImpl::endIntSubset();
}

// Depth first without recursion (a chain of entities may be as long as the
// file allows), each entity's length kept once known. An entity that names
// itself, directly or not, is the library's error at its first use; here it
// counts only its own text. Names not declared count as nothing: their use
// is an error too.
std::size_t ConfinedParser::expandedLength(const LibraryText& name) {
  struct Pending {
    LibraryText name;
    ValueParts parts;
    std::size_t next;
    std::size_t length;
  };
  std::vector<Pending> pending;
  std::map<LibraryText, bool> inProgress;
  auto begin = [&](LibraryText entity) {
    ValueParts parts = partsOf(entities_[entity].value);
    std::size_t literal = std::min(parts.literalLength, kLongestEntityText + 1);
    inProgress[entity] = true;
    pending.push_back(Pending{std::move(entity), std::move(parts), 0, literal});
  };
  if (expandedLengths_.count(name) == 0) {
    begin(name);
  }
  while (!pending.empty()) {
    Pending& top = pending.back();
    if (top.next == top.parts.references.size() || top.length > kLongestEntityText) {
      std::size_t length = top.length;
      expandedLengths_[top.name] = length;
      inProgress[top.name] = false;
      pending.pop_back();
      if (!pending.empty()) {
        pending.back().length = saturatingSum(pending.back().length, length);
      }
      continue;
    }
    LibraryText reference = top.parts.references[top.next++];
    auto found = expandedLengths_.find(reference);
    if (found != expandedLengths_.end()) {
      top.length = saturatingSum(top.length, found->second);
    } else if (entities_.count(reference) != 0 && !inProgress[reference]) {
      begin(std::move(reference));
    }
  }
  return expandedLengths_[name];
}

}  // namespace xerces
}  // namespace lib
