// Settings files as users write them: which elements the launcher's lookups
// reach, names in other encodings, and files far larger or deeper than any
// real one.
#include <gtest/gtest.h>

#include <string>

#include "XMLTestSupport.h"

using lib::xerces::XML_ELEMENT;
using lib::xerces::XMLElement;
using xmltest::idOf;

namespace {

using SettingsFileTest = xmltest::XMLFileTest;

// The ids of "system/image:0", "system/image:1"... up to the first index that
// finds nothing, the way the pictures are read.
std::string pictureIds(lib::xerces::XMLManager& manager) {
  std::string ids;
  for (int index = 0;; ++index) {
    std::string path = "system/image:" + std::to_string(index);
    XMLElement* image = manager.findElement(path.c_str());
    if (!image) {
      return ids;
    }
    ids += (ids.empty() ? "" : ",") + idOf(image);
  }
}

TEST_F(SettingsFileTest, OnlyTheFirstLauncherIsRead) {
  ASSERT_TRUE(loadConfig(
      "<system>"
      "<launcher id='first'><file id='a' name='A' path='a.exe'/></launcher>"
      "<launcher id='second'><file id='b' name='B' path='b.exe'/></launcher>"
      "</system>"));
  EXPECT_EQ("first", idOf(manager_.findElement("system/launcher")));
  EXPECT_EQ("a", idOf(manager_.findElement("system/launcher/file")));
  EXPECT_EQ("(null)", idOf(manager_.findElement("system/launcher/file:1")))
      << "the second launcher's entry must not be reachable through the first";
}

TEST_F(SettingsFileTest, PicturesAreTheImageChildrenOfTheRootInOrder) {
  ASSERT_TRUE(loadConfig(
      "<system>\n"
      "  <image id='p0'/>\n"
      "  <launcher><image id='inLauncher'/><folder><image id='inFolder'/></folder></launcher>\n"
      "  <!-- between -->\n"
      "  <image id='p1'><image id='inImage'/></image>\n"
      "  <other/>text<Image id='capital'/><IMAGE id='upper'/>\n"
      "  <image id='p2'/>\n"
      "</system>\n"));
  EXPECT_EQ("p0,p1,p2", pictureIds(manager_));
}

TEST_F(SettingsFileTest, NamesDifferingInCaseAreNotRecognised) {
  ASSERT_TRUE(loadConfig("<system><Launcher id='a'/><LAUNCHER id='b'/><image Path='x.png' PATH='y.png'/></system>"));
  EXPECT_EQ(nullptr, manager_.findElement("system/launcher"));
  XMLElement* image = manager_.findElement("system/image");
  ASSERT_NE(nullptr, image);
  EXPECT_EQ(nullptr, image->getAttribute("path"));

  manager_.unload();
  ASSERT_TRUE(loadConfig("<System><image/></System>"));
  EXPECT_EQ(nullptr, manager_.findElement("system/image"));
}

// The launcher's texts are 8-bit text in the ANSI code page, UTF-8 on the
// Linux build, whatever the file's own encoding.
TEST_F(SettingsFileTest, OtherEncodingsArriveAsANSIText) {
  const std::string folderName = "\xe3\x83\x84\xe3\x83\xbc\xe3\x83\xab";  // ツール in UTF-8
  const std::string fileName = "\xe3\x83\xa1\xe3\x83\xa2\xe5\xb8\xb3";    // メモ帳 in UTF-8
  struct Case {
    const char* what;
    std::string bytes;
  };
  const Case cases[] = {
      {"UTF-16 little-endian with a byte-order mark",
       // U+FEFF, then the document: ASCII as one byte and a zero, ツ=30C4 ー=30FC ル=30EB メ=30E1 モ=30E2 帳=5E33.
       [] {
         std::u16string text =
             u"\ufeff<?xml version='1.0' encoding='UTF-16'?><system><launcher><folder name='\u30c4\u30fc\u30eb'>"
             u"<file name='\u30e1\u30e2\u5e33' path='x'/></folder></launcher></system>";
         std::string bytes;
         for (char16_t unit : text) {
           bytes += static_cast<char>(unit & 0xff);
           bytes += static_cast<char>(unit >> 8);
         }
         return bytes;
       }()},
      {"Shift_JIS declared in the XML declaration, with a Japanese element name",
       "<?xml version='1.0' encoding='Shift_JIS'?><system><launcher>"
       "<folder name='\x83\x63\x81\x5b\x83\x8b'><file name='\x83\x81\x83\x82\x92\xa0' path='x'/>"
       "<\x89\xe6\x91\x9c id='picture'/></folder></launcher></system>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    manager_.unload();
    ASSERT_TRUE(loadConfig(c.bytes));
    XMLElement* folder = manager_.findElement("system/launcher/folder");
    ASSERT_NE(nullptr, folder);
    EXPECT_EQ(folderName, folder->getAttribute("name"));
    XMLElement* file = manager_.findElement("system/launcher/folder/file");
    ASSERT_NE(nullptr, file);
    EXPECT_EQ(fileName, file->getAttribute("name"));
  }
  // The Shift_JIS element name, looked up by its UTF-8 bytes.
  EXPECT_EQ("picture", idOf(manager_.findElement("system/launcher/folder/\xe7\x94\xbb\xe5\x83\x8f")));
}

// Conversion and deletion must not recurse per level: 100,000 nested
// elements would exhaust a 1 MiB stack, the size a Windows program's thread
// has. Each level re-declares the default namespace only to keep the test
// quick: without it Xerces searches the whole element stack for the
// namespace at every element, which takes tens of seconds at this depth (the
// tree is the same).
TEST_F(SettingsFileTest, DeeplyNestedFileLoadsAndUnloads) {
  const int depth = 100000;
  std::string bytes = "<system>";
  for (int level = 0; level < depth; ++level) {
    bytes += "<a xmlns=''>";
  }
  for (int level = 0; level < depth; ++level) {
    bytes += "</a>";
  }
  bytes += "</system>";
  xmltest::writeFile("config.xml", bytes);

  bool loaded = false;
  int levels = 0;
  xmltest::runWithStack(1024 * 1024, [&] {
    loaded = manager_.load("config.xml");
    if (!loaded) {
      return;
    }
    const XMLElement* element = manager_.findElement("system");
    while (element->getChildCount() == 1 && element->getChild(0)->getType() == XML_ELEMENT) {
      element = static_cast<const XMLElement*>(element->getChild(0));
      ++levels;
    }
    manager_.unload();
  });
  ASSERT_TRUE(loaded);
  EXPECT_EQ(depth, levels) << "every level must be in the tree, in one chain";
}

// Every node is deleted on unload; the sanitizer build's leak checker fails
// this test when one is left.
TEST_F(SettingsFileTest, LargeFileLoadsAndUnloadsCompletely) {
  std::string bytes = "<system>\n<launcher>\n";
  for (int folder = 0; folder < 100; ++folder) {
    bytes += "<folder name='f'>\n";
    for (int file = 0; file < 50; ++file) {
      bytes += "  <file name='entry' path='C:\\program.exe'/> <!-- entry -->\n";
    }
    bytes += "</folder>\n";
  }
  bytes += "</launcher>\n";
  for (int image = 0; image < 2000; ++image) {
    bytes += "<image x='0' y='0' w='64' h='64' color='0xffffffff' path='picture.png'>text</image>\n";
  }
  bytes += "</system>\n";

  for (int round = 0; round < 3; ++round) {
    ASSERT_TRUE(loadConfig(bytes));
    EXPECT_NE(nullptr, manager_.findElement("system/image:1999"));
    EXPECT_NE(nullptr, manager_.findElement("system/launcher/folder:99/file:49"));
    manager_.unload();
  }
}

}  // namespace
