// Where each element of the program's tree stands in the file, and the
// findings made about elements at those places.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "checker/EchoedText.h"
#include "checker/Findings.h"
#include "lib/xerces/XMLElement.h"

namespace checker {

class ElementPlaces {
 public:
  // Pairs the tree's elements, in document order, with the scan's element
  // starts, which are in the same order.
  ElementPlaces(const lib::xerces::XMLElement& root, const std::vector<Position>& elementStarts);

  // The element's place; the file as a whole for one the scan did not reach.
  Position of(const lib::xerces::XMLElement& element) const;

 private:
  std::unordered_map<const lib::xerces::XMLElement*, Position> places_;
};

// Findings about elements, each placed where its element starts.
class ElementReport {
 public:
  ElementReport(const ElementPlaces& places, Findings& findings) : places_(places), findings_(findings) {}

  void add(const lib::xerces::XMLElement& element, Severity severity, std::string text) const {
    findings_.add(places_.of(element), severity, std::move(text));
  }

 private:
  const ElementPlaces& places_;
  Findings& findings_;
};

// The elements among the element's children, in document order.
std::vector<const lib::xerces::XMLElement*> childElements(const lib::xerces::XMLElement& element);

}  // namespace checker
