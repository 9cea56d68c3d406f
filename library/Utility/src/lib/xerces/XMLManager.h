// The one place that talks to the XML library: it starts and stops the
// library, parses the settings file into the node tree, finds elements by a
// slash-separated path and deletes the tree again. No type or 16-bit string
// of the library leaves it.
#pragma once

#include <cstdint>
#include <cstring>

#include "lib/winapi/Assertion.h"
#include "lib/winapi/Diagnostics.h"
#include "lib/xerces/XMLElement.h"
#include "lib/xerces/XMLPath.h"
#include "lib/xerces/XMLReadObserver.h"

namespace lib {
namespace xerces {

// Owns the whole tree through pRoot_ (elements do not own their children,
// so unload deletes every node); destruction does not: the owner unloads.
class XMLManager {
 public:
  XMLManager() : pRoot_(nullptr) {}

  // Starts the XML library (locale "en_US"); a failure is only logged.
  static void initialize();

  // Stops the XML library.
  static void terminate();

  // Parses `fileName` (8-bit, relative to the current directory) into the
  // tree; true when the parser returned a document, even one without a root
  // element or not well-formed. False, with a "load error" debugger line,
  // when it returned none or the file passed the bounds on entities (no
  // external entity is ever read: each reads as empty). `observer` (may be
  // null) learns where elements stand and what the parser met. Unload first.
  bool load(const char* fileName, XMLReadObserver* observer = nullptr);

  // The element at `path`, such as "system/image:2" (the third `image`
  // child of the root `system`), or null. Every lookup writes one
  // "hierarchy" line with the path and the result. A tree without a root
  // fails the assertion.
  XMLElement* findElement(const char* path);

  // Deletes every node, root last; nothing to do without a root.
  void unload();

  // The root, or null: as findElement's start, without assertion or line.
  const XMLElement* getRoot() const { return pRoot_; }

 private:
  XMLElement* pRoot_;
};

// Defined here so that its assertion names this header. A path of 256
// characters or more does not fit the lookup's buffers and finds nothing:
// cutting it could name a different element than the caller meant.
inline XMLElement* XMLManager::findElement(const char* path) {
  PathBuffer work, segment, remainder;
  std::int32_t index = 0;

  bool fits = copyPath(work, path);
  XMLElement* pNode = pRoot_;
  // A lookup without a tree is a caller's fault; the failed assertion's line
  // (66 of this header) is part of what the debugger shows: keep it there.
  ASSERT(pNode);
  if (!fits) {
    lib::winapi::debugPrint("hierarchy : %s => %p\n", path, static_cast<void*>(nullptr));
    return nullptr;
  }

  splitAtSlash(work, segment, remainder);
  if (std::strcmp(segment, pNode->getName()) != 0) {
    lib::winapi::debugPrint("hierarchy : %s => %p\n", path, static_cast<void*>(nullptr));
    return nullptr;
  }

  while (remainder[0] != '\0') {
    std::strcpy(work, remainder);
    remainder[0] = '\0';
    index = 0;
    splitAtSlash(work, segment, remainder);
    std::strcpy(work, segment);
    splitAtColon(work, segment, index);
    pNode = pNode->findChild(segment, index);
    if (!pNode) {
      break;
    }
  }

  lib::winapi::debugPrint("hierarchy : %s => %p\n", path, static_cast<void*>(pNode));
  return pNode;
}

}  // namespace xerces
}  // namespace lib
