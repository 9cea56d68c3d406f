// The manager on the real XML library and real files: path lookups with
// their debugger lines, what becomes of each kind of node, and the load and
// unload cycle, including files the library only half understands.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "XMLTestSupport.h"
#include "lib/xerces/XMLComment.h"
#include "lib/xerces/XMLText.h"

using lib::xerces::XML_COMMENT;
using lib::xerces::XML_ELEMENT;
using lib::xerces::XML_TEXT;
using lib::xerces::XMLComment;
using lib::xerces::XMLElement;
using lib::xerces::XMLNode;
using lib::xerces::XMLText;
using xmltest::debugLines;
using xmltest::idOf;
using xmltest::hierarchyLine;

namespace {

const char kAssertionLine[] =
    "assert:library/Utility/src/lib/xerces/XMLManager.h:66:lib::xerces::XMLManager::findElement():pNode\n";

// Every element carries an id, so a lookup's result can be named.
const char kLookupDocument[] =
    "<system id='root'>\n"
    "  <launcher id='launcher0'>\n"
    "    <folder id='folder0'/>\n"
    "    <folder id='folder1'><file id='file0'/></folder>\n"
    "  </launcher>\n"
    "  <image id='image0'/>\n"
    "</system>\n";

class XMLManagerTest : public xmltest::XMLFileTest {
 protected:
  // The lookup's result and the one debugger line it must have written.
  void expectLookup(const char* path, const char* expectedId) {
    xmltest::clearDebugLines();
    XMLElement* found = manager_.findElement(path);
    EXPECT_EQ(expectedId ? std::string(expectedId) : "(null)", idOf(found)) << "path \"" << path << "\"";
    EXPECT_EQ(std::vector<std::string>{hierarchyLine(path, found)}, debugLines()) << "path \"" << path << "\"";
  }

  // The lookup fails its assertion: the exact line, then the text "assert".
  void expectAssertion(const char* path) {
    xmltest::clearDebugLines();
    try {
      manager_.findElement(path);
      ADD_FAILURE() << "expected findElement(\"" << path << "\") to throw \"assert\"";
    } catch (const char* text) {
      EXPECT_STREQ("assert", text);
    }
    EXPECT_EQ(std::vector<std::string>{kAssertionLine}, debugLines());
  }
};

TEST_F(XMLManagerTest, PathLookups) {
  ASSERT_TRUE(loadConfig(kLookupDocument));
  struct Case {
    const char* path;
    const char* expectedId;  // null: nothing found
  };
  const Case cases[] = {
      {"system", "root"},
      {"system/", "root"},
      {"system/image", "image0"},
      {"system/image:0", "image0"},
      {"system/image:1", nullptr},
      {"system/image:-1", "image0"},
      {"system/image:abc", "image0"},                  // no digits: index 0
      {"system/image:99999999999", nullptr},           // clamped, not wrapped
      {"system/image:-99999999999", "image0"},         // clamped, negative
      {"system/launcher/folder:1", "folder1"},
      {"system/launcher/folder:1/file", "file0"},
      {"system/launcher/folder:2", nullptr},
      {"system/launcher/folder:2/file", nullptr},
      {"system/launcher extra", "launcher0"},          // cut at the space
      {"system/ launcher", "launcher0"},               // white space after "/" skipped
      {"system//launcher", nullptr},                   // an empty name matches nothing
      {"System", nullptr},
      {"system/Launcher", nullptr},
      {"systems/launcher", nullptr},
      {"", nullptr},
      {"/system", nullptr},
  };
  for (const Case& c : cases) {
    expectLookup(c.path, c.expectedId);
  }
}

TEST_F(XMLManagerTest, RootOfAnotherNameFindsNothing) {
  ASSERT_TRUE(loadConfig("<config id='root'><image id='image0'/><launcher/></config>"));
  for (const char* path : {"system", "system/image:0", "system/launcher", "config/images"}) {
    expectLookup(path, nullptr);
  }
  expectLookup("config/image", "image0");
}

TEST_F(XMLManagerTest, PathLengthLimits) {
  // "system/" plus a name: 255 characters in all is the longest path that
  // fits; one more and the path finds nothing, even though the element
  // exists.
  const std::string fitting(248, 'n');
  const std::string tooLong(249, 'n');
  ASSERT_TRUE(loadConfig("<system><" + fitting + " id='fitting'/><" + tooLong + " id='tooLong'/></system>"));

  std::string fittingPath = "system/" + fitting;
  ASSERT_EQ(255u, fittingPath.size());
  XMLElement* found = manager_.findElement(fittingPath.c_str());
  EXPECT_EQ("fitting", idOf(found)) << "a 255-character path must be looked up whole";

  for (std::size_t length : {256u, 300u, 100000u}) {
    std::string path = "system/" + tooLong + std::string(length - 256, 'x');
    xmltest::clearDebugLines();
    EXPECT_EQ(nullptr, manager_.findElement(path.c_str())) << "a path of " << length << " characters";
    std::vector<std::string> lines = debugLines();
    ASSERT_EQ(1u, lines.size()) << "one hierarchy line for a path of " << length << " characters";
    EXPECT_EQ(0u, lines[0].rfind("hierarchy : system/nnn", 0)) << "got " << lines[0];
  }
}

TEST_F(XMLManagerTest, NodeKindsAndTrimming) {
  ASSERT_TRUE(loadConfig(
      "<!DOCTYPE system [<!ENTITY part '<inner/>'>]>"
      "<system>   <![CDATA[ raw ]]><!--  a note\t --><?tool data?>&part;"
      "<image path='  two  words  ' empty=''/>  some text\n</system>"));
  XMLElement* root = manager_.findElement("system");
  ASSERT_NE(nullptr, root);
  EXPECT_EQ(nullptr, root->getParent());

  // White space before the CDATA section is an empty text; the section, the
  // processing instruction and the entity reference (with the element it
  // holds) leave nothing.
  struct Expected {
    int type;
    const char* text;  // the name for an element
  };
  const Expected expected[] = {
      {XML_TEXT, ""},
      {XML_COMMENT, "a note"},
      {XML_ELEMENT, "image"},
      {XML_TEXT, "some text"},
  };
  ASSERT_EQ(std::size(expected), root->getChildCount());
  for (std::size_t index = 0; index < std::size(expected); ++index) {
    const XMLNode* child = root->getChild(index);
    ASSERT_EQ(expected[index].type, child->getType()) << "kind of child " << index;
    std::string actual = child->getType() == XML_ELEMENT   ? static_cast<const XMLElement*>(child)->getName()
                         : child->getType() == XML_TEXT    ? static_cast<const XMLText*>(child)->getText()
                                                           : static_cast<const XMLComment*>(child)->getText();
    EXPECT_EQ(expected[index].text, actual) << "child " << index;
  }

  const XMLElement* image = static_cast<const XMLElement*>(root->getChild(2));
  EXPECT_EQ(root, image->getParent());
  EXPECT_STREQ("  two  words  ", image->getAttribute("path")) << "attribute values keep their spaces";
  EXPECT_STREQ("", image->getAttribute("empty"));
  EXPECT_EQ(nullptr, manager_.findElement("system/inner"));
}

TEST_F(XMLManagerTest, FileThatCannotBeOpenedFailsTheLoad) {
  EXPECT_FALSE(manager_.load("config.xml"));
  EXPECT_EQ(std::vector<std::string>{"XMLManager load error : file config.xml\n"}, debugLines());

  xmltest::clearDebugLines();
  manager_.unload();
  EXPECT_TRUE(debugLines().empty()) << "unload after a failed load must do nothing";
  expectAssertion("system");
}

TEST_F(XMLManagerTest, LoadWithoutTheLibraryRunningFails) {
  lib::xerces::XMLManager::terminate();
  xmltest::writeFile("config.xml", "<system/>");
  bool loaded = manager_.load("config.xml");
  std::vector<std::string> lines = debugLines();
  lib::xerces::XMLManager::initialize();  // for the fixture's own stop

  EXPECT_FALSE(loaded) << "a load with the library stopped must fail, not crash";
  EXPECT_EQ(std::vector<std::string>{"XMLManager load error : file config.xml\n"}, lines);
}

TEST_F(XMLManagerTest, LoadAfterUnloadBuildsAFreshTree) {
  ASSERT_TRUE(loadConfig("<system><image id='old'/></system>"));
  EXPECT_EQ("old", idOf(manager_.findElement("system/image")));
  manager_.unload();

  ASSERT_TRUE(loadConfig("<system><launcher id='new'/></system>"));
  EXPECT_EQ("new", idOf(manager_.findElement("system/launcher")));
  EXPECT_EQ(nullptr, manager_.findElement("system/image")) << "nothing of the first tree may remain";
}

TEST_F(XMLManagerTest, UnloadTwiceIsHarmless) {
  ASSERT_TRUE(loadConfig("<system/>"));
  manager_.unload();
  manager_.unload();
  expectAssertion("system");
}

// What Xerces-C 3.2 returns, with its default configuration and no error
// handler, for files that are not well-formed from the start: a document
// without a root element. The load succeeds; the first lookup asserts.
TEST_F(XMLManagerTest, BrokenFilesWithoutARootLoadAndThenAssert) {
  struct Case {
    const char* what;
    std::string bytes;
  };
  const Case cases[] = {
      {"an empty file", ""},
      {"plain text", "hello, this is not XML\n"},
      {"binary bytes", std::string("\x00\x01\x02\x03\x80\x81\xfe\x7f", 8)},
      {"only a declaration", "<?xml version='1.0'?>\n"},
      {"only a comment", "<!-- nothing else -->"},
      {"a root start tag with a repeated attribute", "<system a='1' a='2'><image/></system>"},
      {"a root start tag cut short", "<system name='x"},
      {"an encoding the library does not know", "<?xml version='1.0' encoding='no-such-code'?><system/>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    manager_.unload();
    ASSERT_TRUE(loadConfig(c.bytes)) << "Xerces returns a document for " << c.what;
    expectAssertion("system");
    expectAssertion("system/launcher");
  }
}

// Files that go wrong after the root's start tag: Xerces stops at the first
// fatal error and returns what it built until then, and that is the tree.
TEST_F(XMLManagerTest, BrokenFilesKeepWhatWasParsedBeforeTheError) {
  struct Case {
    const char* what;
    const char* bytes;
    const char* foundPath;
    const char* missingPath;
  };
  const Case cases[] = {
      {"a truncated file", "<system><launcher id='launcher0'><file id='file0'/></laun", "system/launcher/file",
       "system/image"},
      {"a mismatched end tag", "<system><image id='image0'/></sys><image id='image1'/></system>", "system/image:0",
       "system/image:1"},
      {"an undefined entity", "<system><image id='image0'/>&nothing;<image id='image1'/></system>", "system/image:0",
       "system/image:1"},
      {"a second root element", "<system><image id='image0'/></system><image id='image1'/>", "system/image",
       "system/image:1"},
      {"a repeated attribute below the root", "<system><image id='image0'/><image id='1' id='2'/></system>",
       "system/image:0", "system/image:1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    manager_.unload();
    ASSERT_TRUE(loadConfig(c.bytes));
    EXPECT_NE(nullptr, manager_.findElement(c.foundPath)) << "expected " << c.foundPath << " in " << c.what;
    EXPECT_EQ(nullptr, manager_.findElement(c.missingPath)) << "expected no " << c.missingPath << " in " << c.what;
  }
}

}  // namespace
