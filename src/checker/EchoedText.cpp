#include "checker/EchoedText.h"

#include <windows.h>

#include <cstdio>

namespace checker {

namespace {

// The end of the longest run of whole characters of the system's code page
// that fits in kLongestEcho bytes.
std::size_t cutPoint(const std::string& text) {
  const char* start = text.c_str();
  const char* end = start;
  for (const char* next = CharNextA(end); next != end && static_cast<std::size_t>(next - start) <= kLongestEcho;
       next = CharNextA(end)) {
    end = next;
  }
  return static_cast<std::size_t>(end - start);
}

}  // namespace

std::string escapedControls(const std::string& text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (char each : text) {
    unsigned char byte = static_cast<unsigned char>(each);
    if (byte >= 0x20 && byte != 0x7F) {
      escaped += each;
    } else if (each == '\n') {
      escaped += "\\n";
    } else if (each == '\r') {
      escaped += "\\r";
    } else if (each == '\t') {
      escaped += "\\t";
    } else {
      char code[8];
      std::snprintf(code, sizeof code, "\\x%02X", byte);
      escaped += code;
    }
  }
  return escaped;
}

std::string echoed(const std::string& text) {
  if (text.size() <= kLongestEcho) {
    return escapedControls(text);
  }
  return escapedControls(text.substr(0, cutPoint(text))) + "...";
}

std::string quoted(const std::string& text) { return "\"" + echoed(text) + "\""; }

}  // namespace checker
