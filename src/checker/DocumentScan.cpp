#include "checker/DocumentScan.h"

namespace checker {

namespace {

Position positionOf(lib::xerces::XMLPosition position) { return Position{position.line, position.column}; }

}  // namespace

void DocumentScan::elementStarted(lib::xerces::XMLPosition position) {
  elementStarts.push_back(positionOf(position));
}

void DocumentScan::problemMet(const lib::xerces::XMLProblem& problem) {
  using lib::xerces::XMLProblemKind;
  Position position = positionOf(problem.position);
  switch (problem.kind) {
    case XMLProblemKind::ExternalRefused:
      refusedExternals.push_back(RefusedExternal{position, problem.text});
      return;
    case XMLProblemKind::EntityExpansionLimit:
      expansionLimit = ParseFailure{position, problem.text, false};
      break;
    case XMLProblemKind::Fatal:
    case XMLProblemKind::RepeatedAttribute:
      break;
  }
  if (!failure) {
    failure = ParseFailure{position, problem.text, problem.kind == XMLProblemKind::RepeatedAttribute};
  }
}

}  // namespace checker
