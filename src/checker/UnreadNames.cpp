#include "checker/UnreadNames.h"

#include "checker/NameSuggestion.h"

namespace checker {

void reportUnreadAttributes(const lib::xerces::XMLElement& element, const std::vector<std::string>& read,
                            const ElementReport& report) {
  for (std::size_t index = 0; index < element.getAttributeCount(); ++index) {
    std::string name = element.getAttributeName(index);
    bool isRead = false;
    for (const std::string& each : read) {
      isRead = isRead || each == name;
    }
    if (!isRead) {
      report.add(element, Severity::Warning,
                 "attribute " + quoted(name) + " of " + quoted(element.getName()) +
                     " is not read: the program ignores it" + suggestionText(name, read));
    }
  }
}

void reportUnreadElement(const lib::xerces::XMLElement& element, const std::vector<std::string>& read,
                         const ElementReport& report) {
  std::string name = element.getName();
  report.add(element, Severity::Warning,
             "element " + quoted(name) + " is not read here: the program ignores it with everything inside it" +
                 suggestionText(name, read));
}

}  // namespace checker
