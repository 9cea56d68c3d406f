// A second reading of the settings file by the XML library, for what the
// program's tree does not keep: where each element stands, and the
// library's own words when the file does not parse.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "checker/Findings.h"

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

struct DocumentScan {
  // Where the locator stood as each element's start tag was read, in
  // document order: the same order and the same elements as the program's
  // tree (elements that an entity reference brings in are left out, as the
  // tree leaves them out).
  std::vector<Position> elementStarts;
  std::optional<ParseFailure> failure;
};

// Parses `fileName` as the XML manager does (same library, same
// namespace and validation settings). Expects the library started.
DocumentScan scanDocument(const std::string& fileName);

}  // namespace checker
