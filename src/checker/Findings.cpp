#include "checker/Findings.h"

#include <algorithm>

#include "checker/EchoedText.h"

namespace checker {

namespace {

const char* nameOf(Severity severity) {
  switch (severity) {
    case Severity::Error:
      return "error";
    case Severity::Warning:
      return "warning";
    case Severity::Note:
      return "note";
  }
  return "";
}

std::string counted(std::size_t count, const char* noun) {
  return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

bool comesBefore(const Finding& first, const Finding& second) {
  if (first.position.line != second.position.line) {
    return first.position.line < second.position.line;
  }
  return first.position.column < second.position.column;
}

}  // namespace

void Findings::add(Position position, Severity severity, std::string text) {
  findings_.push_back(Finding{position, severity, std::move(text)});
}

std::size_t Findings::count(Severity severity) const {
  return static_cast<std::size_t>(std::count_if(findings_.begin(), findings_.end(),
                                                [severity](const Finding& each) { return each.severity == severity; }));
}

void Findings::print(std::ostream& out, const std::string& fileName) const {
  std::vector<Finding> inFileOrder = findings_;
  std::stable_sort(inFileOrder.begin(), inFileOrder.end(), comesBefore);
  for (const Finding& finding : inFileOrder) {
    out << fileName << ":";
    if (finding.position.line != 0) {
      out << finding.position.line << ":" << finding.position.column << ":";
    }
    out << " " << nameOf(finding.severity) << ": " << escapedControls(finding.text) << "\n";
  }
  out << summaryLine(count(Severity::Error), count(Severity::Warning), count(Severity::Note)) << "\n";
}

std::string summaryLine(std::size_t errors, std::size_t warnings, std::size_t notes) {
  std::string line = counted(errors, "error") + ", " + counted(warnings, "warning");
  return notes > 0 ? line + ", " + counted(notes, "note") : line;
}

}  // namespace checker
