// Any bytes as config.xml, checked by the settings checker: it must finish
// (no crash, no leak, no exception out of it) and print one line a finding
// in its format, then the summary, whatever the file holds.
#include <platform/desktop.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <regex>
#include <sstream>
#include <string>

#include "checker/SettingsCheck.h"
#include "support/TemporaryDirectory.h"

namespace {

std::unique_ptr<testsupport::TemporaryDirectory> directory;

const std::regex kFinding("config\\.xml:([0-9]+:[0-9]+:)? (error|warning|note): [^\\x00-\\x1F\\x7F]*");
const std::regex kSummary("[0-9]+ errors?, [0-9]+ warnings?(, [0-9]+ notes?)?");

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  platform::desktop::setEcho(false);
  directory = std::make_unique<testsupport::TemporaryDirectory>("fuzz-check");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen("config.xml", "wb");
  if (!file) std::abort();
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  std::ostringstream out;
  int status = checker::checkSettingsFile("config.xml", out);
  std::istringstream lines(out.str());
  std::string line, previous;
  bool wellFormed = status >= 0 && status <= 2;
  while (std::getline(lines, line)) {
    wellFormed = wellFormed && (previous.empty() || std::regex_match(previous, kFinding));
    previous = line;
  }
  if (!wellFormed || !std::regex_match(previous, kSummary)) {
    std::fprintf(stderr, "status %d, not a finding or summary line in:\n%.2000s\n", status, out.str().c_str());
    std::abort();
  }
  platform::desktop::reset();
  platform::desktop::setEcho(false);
  return 0;
}
