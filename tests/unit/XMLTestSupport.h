// What the XML tests share: a fresh temporary directory as the current
// directory (the settings file is read by its relative name), the XML
// library started and stopped around every test, and the debugger lines the
// code under test wrote.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "lib/xerces/XMLManager.h"
#include "support/TemporaryDirectory.h"

namespace xmltest {

// The bytes `path` names, written as they stand (no encoding applied).
void writeFile(const std::filesystem::path& path, const std::string& bytes);

// The debugger lines written since the last reset.
std::vector<std::string> debugLines();

// Forgets the debugger lines written so far.
void clearDebugLines();

// The element's "id" attribute, which test documents give every element so
// that a lookup's result can be named: "(null)" for no element.
std::string idOf(const lib::xerces::XMLElement* element);

// "hierarchy : <path> => <pointer>\n", as a lookup writes it.
std::string hierarchyLine(const std::string& path, const void* result);

// Runs `work` on a thread of its own with a stack of `stackBytes` (the 1 MiB
// a Windows program's thread gets, say) and waits for it, so that code
// which recurses per nesting level fails here as it would there.
void runWithStack(std::size_t stackBytes, const std::function<void()>& work);

// Each test runs in a new temporary directory with the library started and a
// fresh desktop; the manager is unloaded and the library stopped afterwards,
// so no test sees another's tree, files or output.
class XMLFileTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes `bytes` as config.xml and loads it; debugger lines are cleared
  // after the load, so a test sees only what its lookups write.
  bool loadConfig(const std::string& bytes);

  lib::xerces::XMLManager manager_;

 private:
  std::optional<testsupport::TemporaryDirectory> directory_;
};

}  // namespace xmltest
