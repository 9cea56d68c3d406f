// The node tree on its own: attributes, child lookup by name and position,
// and the ownership rule (an element does not delete its children).
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "lib/xerces/XMLComment.h"
#include "lib/xerces/XMLElement.h"
#include "lib/xerces/XMLText.h"

using lib::xerces::XML_COMMENT;
using lib::xerces::XML_ELEMENT;
using lib::xerces::XML_TEXT;
using lib::xerces::XMLComment;
using lib::xerces::XMLElement;
using lib::xerces::XMLNode;
using lib::xerces::XMLText;

namespace {

// An element whose children the test owns and deletes one by one, as the
// manager does.
class XMLTreeTest : public ::testing::Test {
 protected:
  template <typename Node>
  Node* add(Node* node) {
    owned_.emplace_back(node);
    parent_.addChild(node);
    return node;
  }

  XMLElement* addElement(const char* name) { return add(new XMLElement(name)); }

  XMLElement parent_{"system"};
  std::vector<std::unique_ptr<XMLNode>> owned_;
};

TEST_F(XMLTreeTest, KindCodesAreTheTreesOwn) {
  XMLElement element("a");
  XMLText text("t");
  XMLComment comment("c");
  EXPECT_EQ(1, element.getType());
  EXPECT_EQ(2, text.getType());
  EXPECT_EQ(3, comment.getType());
}

TEST_F(XMLTreeTest, MissingAttributeIsNullAndEmptyValueIsEmptyText) {
  parent_.setAttribute("empty", "");
  const char* empty = parent_.getAttribute("empty");
  ASSERT_NE(nullptr, empty) << "an attribute with an empty value must be found";
  EXPECT_STREQ("", empty);
  EXPECT_EQ(nullptr, parent_.getAttribute("missing")) << "expected null for an attribute the element lacks";
}

TEST_F(XMLTreeTest, SettingAnAttributeAgainReplacesItsValueOnly) {
  parent_.setAttribute("x", "1");
  parent_.setAttribute("y", "2");
  parent_.setAttribute("x", "3");
  EXPECT_STREQ("3", parent_.getAttribute("x"));
  EXPECT_STREQ("2", parent_.getAttribute("y"));
}

// Callers keep the texts they read (the launcher keeps entry names, for
// one), so adding attributes later must not move them. Short values are
// stored inside the string object itself: they are the ones a moving list
// would carry away.
TEST_F(XMLTreeTest, TextsStayWhereTheyAreWhileTheElementGrows) {
  const std::pair<const char*, const char*> early[] = {
      {"x", "10"}, {"y", "-4"}, {"color", "0xFF"}, {"path", "pictures/a-name-long-enough-for-the-heap.png"}};
  std::vector<const char*> texts;
  for (const auto& [name, value] : early) {
    parent_.setAttribute(name, value);
    texts.push_back(parent_.getAttribute(name));
  }
  const char* elementName = parent_.getName();

  for (int index = 0; index < 100; ++index) {
    parent_.setAttribute(("extra" + std::to_string(index)).c_str(), "v");
    addElement("image");
  }
  parent_.setAttribute("extra0", "replaced");

  for (std::size_t index = 0; index < texts.size(); ++index) {
    const auto& [name, value] = early[index];
    EXPECT_STREQ(value, texts[index]) << "the text of \"" << name << "\" read before 100 more attributes were added";
    EXPECT_EQ(parent_.getAttribute(name), texts[index]) << "the text of \"" << name << "\" moved";
  }
  EXPECT_STREQ("system", elementName) << "the element's name read before it grew";
}

TEST_F(XMLTreeTest, AttributeNamesAreCaseSensitiveAndUntrimmed) {
  parent_.setAttribute("path", "lower");
  parent_.setAttribute("Path", "upper");
  EXPECT_STREQ("lower", parent_.getAttribute("path"));
  EXPECT_STREQ("upper", parent_.getAttribute("Path"));
  EXPECT_EQ(nullptr, parent_.getAttribute("path "));
  EXPECT_EQ(nullptr, parent_.getAttribute("pat"));
}

TEST_F(XMLTreeTest, FindChildCountsOnlyElementsOfTheName) {
  XMLElement* first = addElement("image");
  add(new XMLText(""));
  addElement("launcher");
  XMLElement* second = addElement("image");
  add(new XMLComment("note"));
  XMLElement* third = addElement("image");

  struct Case {
    const char* name;
    std::int32_t index;
    XMLElement* expected;
  };
  const Case cases[] = {
      {"image", 0, first},         {"image", 1, second},        {"image", 2, third},
      {"image", 3, nullptr},       {"image", -1, first},        {"image", INT32_MIN, first},
      {"image", INT32_MAX, nullptr}, {"Image", 0, nullptr},     {"imag", 0, nullptr},
      {"image ", 0, nullptr},      {"note", 0, nullptr},        {"", 0, nullptr},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.expected, parent_.findChild(c.name, c.index))
        << "findChild(\"" << c.name << "\", " << c.index << ")";
  }
}

TEST_F(XMLTreeTest, GetChildCountsEveryKindAndStopsAtTheEnd) {
  XMLText* text = add(new XMLText(""));
  XMLElement* element = addElement("a");
  ASSERT_EQ(2u, parent_.getChildCount()) << "an empty text is a child like any other";
  EXPECT_EQ(text, parent_.getChild(0));
  EXPECT_EQ(element, parent_.getChild(1));
  EXPECT_EQ(nullptr, parent_.getChild(2)) << "expected null at the child count";
  EXPECT_EQ(nullptr, parent_.getChild(static_cast<std::size_t>(-1)));
}

TEST_F(XMLTreeTest, DeletingAnElementLeavesItsChildrenIntact) {
  auto* element = new XMLElement("launcher");
  auto* child = new XMLElement("file");
  auto* text = new XMLText("kept");
  child->setAttribute("name", "editor");
  child->setParent(element);
  element->addChild(child);
  element->addChild(text);

  delete element;

  // Reading them after the parent is gone is what the sanitizer build checks.
  EXPECT_STREQ("file", child->getName());
  EXPECT_STREQ("editor", child->getAttribute("name"));
  EXPECT_STREQ("kept", text->getText());
  delete child;
  delete text;
}

}  // namespace
