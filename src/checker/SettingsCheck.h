// The checker's whole run on one settings file: read it as the program
// started in the file's folder would, and tell what the program will do at
// each place that deserves a word.
#pragma once

#include <ostream>
#include <string>

namespace checker {

// Exit statuses: the program would start and show what the file says
// (warnings and notes allowed); it would not; the file cannot be read.
const int kClean = 0;
const int kHasErrors = 1;
const int kUnreadable = 2;

// Writes the findings about `fileName` and the summary to `out`, and
// returns the exit status. The current directory is the same afterwards.
int checkSettingsFile(const std::string& fileName, std::ostream& out);

}  // namespace checker
