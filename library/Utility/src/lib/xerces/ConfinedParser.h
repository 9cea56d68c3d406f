// The DOM parser behind every load of a settings file. Settings files are
// shared between users, so a file must not make the program reach outside
// it: no external entity or document type is ever read (not from the
// network, not from another file, not from a device or a pipe), and entity
// expansion is bounded, so that a few hundred bytes of nested entities
// cannot take the machine's memory. It also tells an observer where each
// element stands, so that the checker needs no second parse.
//
// Only XMLManager.cpp includes this header: the library's types stay there.
#pragma once

#include <xercesc/parsers/DOMLSParserImpl.hpp>
#include <xercesc/util/SecurityManager.hpp>
#include <xercesc/util/XMLEntityResolver.hpp>

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "lib/xerces/XMLReadObserver.h"

namespace lib {
namespace xerces {

// A 16-bit text of the library, as entity names and values are.
using LibraryText = std::basic_string<XMLCh>;

// Entity references one file may expand, nested ones included, counted by
// the library's security manager. Real settings files use a handful, if
// any: a launcher holds at most 1000 entries.
const std::size_t kEntityExpansionLimit = 10000;

// The longest text one entity may stand for once every entity inside it is
// expanded. Settings files put entities into names and paths (a path is at
// most 255 characters); the elements an entity holds are not read at all.
// With the count above, all expansions together stay below 10,000 times
// this.
const std::size_t kLongestEntityText = 1024;

// Answers every external entity with an empty text, so that it reads as if
// it were empty, and tells the observer of each.
class RefusingResolver : public xercesc::XMLEntityResolver {
 public:
  explicit RefusingResolver(XMLReadObserver* observer) : observer_(observer) {}

  xercesc::InputSource* resolveEntity(xercesc::XMLResourceIdentifier* resource) override;

 private:
  XMLReadObserver* observer_;
};

class ConfinedParser : public xercesc::DOMLSParserImpl {
 public:
  // `observer` may be null.
  explicit ConfinedParser(XMLReadObserver* observer);

  // True once a file went past either bound: its document must not be used.
  bool expansionLimitPassed() const { return expansionLimitPassed_; }

  void error(const unsigned int code, const XMLCh* const domain, const xercesc::XMLErrorReporter::ErrTypes type,
             const XMLCh* const text, const XMLCh* const systemId, const XMLCh* const publicId,
             const XMLFileLoc line, const XMLFileLoc column) override;

  void startElement(const xercesc::XMLElementDecl& elementDecl, const unsigned int uriId, const XMLCh* const prefix,
                    const xercesc::RefVectorOf<xercesc::XMLAttr>& attributes, const XMLSize_t attributeCount,
                    const bool isEmpty, const bool isRoot) override;
  void startEntityReference(const xercesc::XMLEntityDecl& entityDecl) override;
  void endEntityReference(const xercesc::XMLEntityDecl& entityDecl) override;
  void doctypeDecl(const xercesc::DTDElementDecl& elementDecl, const XMLCh* const publicId,
                   const XMLCh* const systemId, const bool hasInternalSubset, const bool hasExternalSubset) override;
  void entityDecl(const xercesc::DTDEntityDecl& entityDecl, const bool isParameterEntity,
                  const bool isIgnored) override;
  void endIntSubset() override;

 private:
  struct DeclaredEntity {
    LibraryText value;
    XMLPosition position;  // where its declaration ends
  };

  XMLPosition locatorPosition() const;
  void report(XMLProblemKind kind, XMLPosition position, std::string text);
  std::size_t expandedLength(const LibraryText& name);

  XMLReadObserver* observer_;
  RefusingResolver resolver_;
  xercesc::SecurityManager securityManager_;
  bool expansionLimitPassed_ = false;
  int entityDepth_ = 0;
  // The general entities of the internal subset in declaration order; an
  // entity may name one declared after it, so their lengths are known only
  // once the subset ends.
  std::vector<LibraryText> declarationOrder_;
  std::map<LibraryText, DeclaredEntity> entities_;
  std::map<LibraryText, std::size_t> expandedLengths_;
};

}  // namespace xerces
}  // namespace lib
