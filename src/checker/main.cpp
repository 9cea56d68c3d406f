// tessaline-check [FILE]: the settings checker's command line.
#include <exception>
#include <iostream>
#include <string>

#include "checker/SettingsCheck.h"

namespace {

const char kUsage[] = "usage: tessaline-check [--help | --version | FILE]\n";

const char kHelp[] =
    "Checks a Tessaline settings file (FILE, by default config.xml in the current\n"
    "directory) by reading it as the program does when started in FILE's folder,\n"
    "and says what the program will do wherever that is not what the file seems\n"
    "to say. One line a finding, FILE:LINE:COLUMN: error|warning|note: text, in\n"
    "file order, then a count of errors and warnings (and notes, when any).\n"
    "\n"
    "  error    the program will not start, or will not show what the file says\n"
    "  warning  the program reads the place otherwise than it looks\n"
    "  note     what the program uses for a setting left out\n"
    "\n"
    "Exit status: 0 when the program would start and show what the file says\n"
    "(warnings allowed), 1 when the file has errors, 2 when it cannot be read or\n"
    "the check cannot be finished.\n";

}  // namespace

int main(int argc, char** argv) {
  std::string argument = argc > 1 ? argv[1] : "";
  if (argc > 2 || (argument.size() > 1 && argument[0] == '-' && argument != "--help" && argument != "--version")) {
    std::cerr << kUsage;
    return checker::kUnreadable;
  }
  if (argument == "--help") {
    std::cout << kUsage << "\n" << kHelp;
    return checker::kClean;
  }
  if (argument == "--version") {
    std::cout << "tessaline-check " << TESSALINE_VERSION << "\n";
    return checker::kClean;
  }
  // Whatever the file does, the checker ends with a status and a message,
  // never an abort: a failure here is the checker's, so it is status 2.
  try {
    return checker::checkSettingsFile(argument.empty() ? "config.xml" : argument, std::cout);
  } catch (const std::exception& error) {
    std::cerr << "tessaline-check: the check could not be finished: " << error.what() << "\n";
  } catch (...) {
    std::cerr << "tessaline-check: the check could not be finished\n";
  }
  return checker::kUnreadable;
}
