#include "checker/NameSuggestion.h"

#include <algorithm>
#include <cctype>

namespace checker {

namespace {

std::string lowerCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// Letters inserted, removed, replaced or swapped with their neighbour, each
// counted once: the slips of a typing hand.
std::size_t editDistance(const std::string& a, const std::string& b) {
  std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
  for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    for (std::size_t j = 1; j <= b.size(); ++j) {
      std::size_t replace = d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, replace});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      }
    }
  }
  return d[a.size()][b.size()];
}

// Short names are one slip from many others ("z" from "x" and "y"), so they
// are matched only in another case.
std::size_t slipsAllowed(const std::string& written) {
  if (written.size() < 3) return 0;
  return written.size() <= 4 ? 1 : 2;
}

}  // namespace

std::string suggestName(const std::string& written, const std::vector<std::string>& known) {
  std::string best;
  std::size_t bestDistance = slipsAllowed(written) + 1;
  // Each slip changes the length by one at most: a name further off in
  // length is no candidate, and the matrix below stays small whatever the
  // file holds.
  auto tooFarInLength = [&](const std::string& name) {
    std::size_t difference = written.size() > name.size() ? written.size() - name.size() : name.size() - written.size();
    return difference >= bestDistance;
  };
  std::string lowered;
  for (const std::string& name : known) {
    if (tooFarInLength(name)) {
      continue;
    }
    if (lowered.empty()) {
      lowered = lowerCase(written);
    }
    std::size_t distance = editDistance(lowered, lowerCase(name));
    if (distance < bestDistance) {
      best = name;
      bestDistance = distance;
    }
  }
  return best;
}

std::string suggestionText(const std::string& written, const std::vector<std::string>& known) {
  std::string suggestion = suggestName(written, known);
  return suggestion.empty() ? "" : " (did you mean \"" + suggestion + "\"?)";
}

}  // namespace checker
