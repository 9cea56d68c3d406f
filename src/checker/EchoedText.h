// Texts from the settings file as a finding repeats them. A finding is one
// line that editors and CI trust, so what the file holds must not be able to
// end that line or start another: control characters are written as
// escapes, and a text longer than any real name or path is cut short.
#pragma once

#include <cstddef>
#include <string>

namespace checker {

// Bytes of a text repeated whole; a longer one is cut after the last whole
// character that fits, and "..." marks the cut.
const std::size_t kLongestEcho = 300;

// `text` with control characters escaped ("\n", "\t", "\x1B"...) and cut
// to kLongestEcho bytes.
std::string echoed(const std::string& text);

// echoed(`text`) in double quotes, as findings quote names and values.
std::string quoted(const std::string& text);

// Control characters escaped, nothing cut: the last guard of a whole line.
std::string escapedControls(const std::string& text);

}  // namespace checker
