// What the checker found, each at its place in the settings file, and how it
// is told: one line a finding in the compilers' form, which editors and CI
// jump to, then a summary.
#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

namespace checker {

// A place as the XML library's locator counts it, lines and columns from
// 1. Line 0 stands for the file as a whole.
struct Position {
  std::size_t line;
  std::size_t column;
};

const Position kWholeFile = {0, 0};

enum class Severity { Error, Warning, Note };

struct Finding {
  Position position;
  Severity severity;
  std::string text;
};

class Findings {
 public:
  void add(Position position, Severity severity, std::string text);

  std::size_t count(Severity severity) const;

  // "FILE:LINE:COLUMN: error|warning|note: text" for each finding in file
  // order (findings at one place in the order they were made), then the
  // summary line.
  void print(std::ostream& out, const std::string& fileName) const;

 private:
  std::vector<Finding> findings_;
};

// "2 errors, 1 warning", with ", 3 notes" when there are notes: errors and
// warnings are always counted, so a clean file says "0 errors, 0 warnings".
std::string summaryLine(std::size_t errors, std::size_t warnings, std::size_t notes);

}  // namespace checker
