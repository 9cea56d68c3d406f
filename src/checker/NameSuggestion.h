// The name a user most likely meant when they wrote one the program does not
// read: "Image" for "image", "pth" for "path", "colour" for "color".
#pragma once

#include <string>
#include <vector>

namespace checker {

// The name of `known` that `written` is a slip for (the same letters in
// another case, or a letter or two off), or empty when none is close.
std::string suggestName(const std::string& written, const std::vector<std::string>& known);

// " (did you mean "name"?)" for a suggestion, empty for none.
std::string suggestionText(const std::string& written, const std::vector<std::string>& known);

}  // namespace checker
