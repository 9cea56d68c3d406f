// What the checker learns from the XML manager's parse besides the tree:
// where each element stands, where the library stopped reading, which
// external entities were left unread, and whether the file passed the
// bounds on entities.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "checker/Findings.h"
#include "lib/xerces/XMLReadObserver.h"

namespace checker {

// The first fatal error of the parse: the library stops there, and the
// program's tree holds only what came before it.
struct ParseFailure {
  Position position;
  std::string message;
  // An attribute given twice in one start tag: the element is dropped with
  // everything after it, which is all the program notices.
  bool repeatedAttribute;
};

// An external entity or document type, which the program reads as empty.
struct RefusedExternal {
  Position position;
  std::string systemId;
};

class DocumentScan : public lib::xerces::XMLReadObserver {
 public:
  void elementStarted(lib::xerces::XMLPosition position) override;
  void problemMet(const lib::xerces::XMLProblem& problem) override;

  // Where the locator stood as each element's start tag was read, in
  // document order: the same order and the same elements as the program's
  // tree.
  std::vector<Position> elementStarts;
  std::optional<ParseFailure> failure;
  std::vector<RefusedExternal> refusedExternals;
  // Where and how the file went past the bounds on entities; the load then
  // fails.
  std::optional<ParseFailure> expansionLimit;
};

}  // namespace checker
