// What a caller may learn of one parse besides the tree: where each element
// stands in the file and what the parser met on the way. The program passes
// no observer; the settings checker passes one to place its findings. No
// type of the XML library appears here.
#pragma once

#include <cstddef>
#include <string>

namespace lib {
namespace xerces {

// A place as the library's locator counts it, lines and columns from 1.
struct XMLPosition {
  std::size_t line;
  std::size_t column;
};

enum class XMLProblemKind {
  // A fatal error: the library stops reading there.
  Fatal,
  // An attribute given twice in one start tag, also fatal; only the
  // library's error code tells it apart from the others.
  RepeatedAttribute,
  // An external entity or document type: never read, taken as empty.
  ExternalRefused,
  // More entity expansion than any settings file needs: the load fails.
  EntityExpansionLimit,
};

struct XMLProblem {
  XMLProblemKind kind;
  XMLPosition position;
  // The library's message for a fatal error; the system id of an external
  // entity; the limit passed for entity expansion.
  std::string text;
};

class XMLReadObserver {
 public:
  virtual ~XMLReadObserver() = default;

  // An element's start tag has been read (the locator stands just past its
  // ">"), in document order. Elements that entity references bring in are
  // not told: the tree leaves them out.
  virtual void elementStarted(XMLPosition position) = 0;

  virtual void problemMet(const XMLProblem& problem) = 0;
};

}  // namespace xerces
}  // namespace lib
