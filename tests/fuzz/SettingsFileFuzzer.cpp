// Any bytes as config.xml: load them, read what the launcher reads (the
// launcher tree, the first ten pictures and their attributes), unload. A
// document without a root element makes the first lookup fail its
// assertion, which throws the text "assert": that is the documented
// reaction, anything else is a finding.
#include <platform/desktop.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <vector>

#include "application/SettingsNumber.h"
#include "lib/xerces/XMLManager.h"
#include "support/TemporaryDirectory.h"

using lib::xerces::XML_ELEMENT;
using lib::xerces::XMLElement;
using lib::xerces::XMLManager;

namespace {

// One directory for the whole run, made current before the first input and
// removed when the process exits.
std::unique_ptr<testsupport::TemporaryDirectory> directory;

void writeConfig(const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen("config.xml", "wb");
  if (!file) {
    std::abort();
  }
  std::fwrite(data, 1, size, file);
  std::fclose(file);
}

// Every value is read the way its reader reads it; the sink keeps the reads
// from being optimised away.
volatile std::uint32_t sink;

void readAttribute(const XMLElement* element, const char* name) {
  const char* value = element->getAttribute(name);
  if (value) {
    sink = static_cast<std::uint32_t>(std::strlen(value));
  }
}

// Folders and files, depth first, without recursion.
void walkLauncher(const XMLElement* launcher) {
  std::vector<const XMLElement*> pending{launcher};
  while (!pending.empty()) {
    const XMLElement* element = pending.back();
    pending.pop_back();
    for (std::size_t index = 0; index < element->getChildCount(); ++index) {
      const lib::xerces::XMLNode* child = element->getChild(index);
      if (child->getType() != XML_ELEMENT) {
        continue;
      }
      const XMLElement* childElement = static_cast<const XMLElement*>(child);
      if (std::strcmp(childElement->getName(), "folder") == 0) {
        readAttribute(childElement, "name");
        pending.push_back(childElement);
      } else if (std::strcmp(childElement->getName(), "file") == 0) {
        readAttribute(childElement, "name");
        readAttribute(childElement, "path");
      }
    }
  }
}

void readPictures(XMLManager& manager) {
  for (int index = 0; index < 10; ++index) {
    char path[32];
    std::snprintf(path, sizeof path, "system/image:%d", index);
    const XMLElement* image = manager.findElement(path);
    if (!image) {
      return;
    }
    for (const char* name : {"x", "y", "w", "h", "color"}) {
      const char* value = image->getAttribute(name);
      if (value) {
        sink = parseSettingsNumber(value);
      }
    }
    readAttribute(image, "path");
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  platform::desktop::setEcho(false);
  try {
    directory = std::make_unique<testsupport::TemporaryDirectory>("fuzz");
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    std::abort();
  }
  XMLManager::initialize();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  writeConfig(data, size);
  XMLManager manager;
  if (manager.load("config.xml")) {
    try {
      const XMLElement* launcher = manager.findElement("system/launcher");
      if (launcher) {
        walkLauncher(launcher);
      }
      readPictures(manager);
    } catch (const char* text) {
      if (std::strcmp(text, "assert") != 0) {
        std::abort();
      }
    }
  }
  manager.unload();
  // The recorded debugger lines would otherwise grow for the whole run.
  platform::desktop::reset();
  platform::desktop::setEcho(false);
  return 0;
}
