// The output routines and the assertion. NDEBUG is defined on purpose: the
// assertion must stay active in release builds.
#define NDEBUG 1

#include <windows.h>

#include <gtest/gtest.h>
#include <platform/desktop.h>

#include <string>

#include "lib/winapi/Assertion.h"
#include "lib/winapi/Diagnostics.h"

// Functions whose names the assertion reports, outside any anonymous
// namespace (compilers spell that one differently).
namespace diagnosticsTest {
const int kFailingCheckLine = __LINE__ + 2;
void failingCheck(int* evaluations) {
  ASSERT(++*evaluations == 0);
}
}  // namespace diagnosticsTest

namespace lib {
namespace winapi {
struct Probe {
  std::string name;
  Probe() : name(qualifiedFunctionName(__PRETTY_FUNCTION__)) {}
  virtual ~Probe() {}
  virtual const char* method(int) const {
    static std::string method = qualifiedFunctionName(__PRETTY_FUNCTION__);
    return method.c_str();
  }
};
}  // namespace winapi
}  // namespace lib

namespace {

using lib::winapi::consolePrint;
using lib::winapi::debugPrint;
using lib::winapi::messageBoxPrint;
using lib::winapi::qualifiedFunctionName;

class Diagnostics : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::desktop::reset();
    platform::desktop::setEcho(false);
  }
};

TEST_F(Diagnostics, OutputRoutinesFormatLikePrintf) {
  debugPrint("hierarchy : %s => %d\n", "system", 5);
  consolePrint("%s:%d:%s\n", "src/main.cpp", 34, "WinMain");
  consolePrint("100%% plain\n");
  EXPECT_EQ(platform::desktop::debugOutput(), (std::vector<std::string>{"hierarchy : system => 5\n"}));
  EXPECT_EQ(platform::desktop::consoleOutput(), "src/main.cpp:34:WinMain\n100% plain\n");
}

TEST_F(Diagnostics, TextLongerThan255CharactersIsCutAndTerminated) {
  std::string path(400, 'p');
  std::string expected(255, 'p');
  debugPrint("%s", path.c_str());
  consolePrint("%s", path.c_str());
  platform::script::pressMessageBoxButton(IDOK);
  messageBoxPrint(NULL, MB_OK, "load error", "%s", path.c_str());

  ASSERT_EQ(platform::desktop::debugOutput().size(), 1u);
  EXPECT_EQ(platform::desktop::debugOutput()[0], expected);
  EXPECT_EQ(platform::desktop::consoleOutput(), expected);
  ASSERT_EQ(platform::desktop::messageBoxes().size(), 1u);
  EXPECT_EQ(platform::desktop::messageBoxes()[0].text, expected);
}

TEST_F(Diagnostics, MessageBoxPrintTakesOwnerTypeCaptionThenFormat) {
  HWND owner = platform::desktop::createForeignWindow("OwnerClass", "owner");
  platform::script::pressMessageBoxButton(IDOK);
  platform::script::pressMessageBoxButton(IDOK);
  messageBoxPrint(owner, MB_OK | MB_ICONINFORMATION, "about", "%s : version %s", "Tessaline", "2.0.0");
  messageBoxPrint(NULL, MB_OK, NULL, "no caption");

  const auto& boxes = platform::desktop::messageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].owner, owner);
  EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
  EXPECT_EQ(boxes[0].caption, "about");
  EXPECT_EQ(boxes[0].text, "Tessaline : version 2.0.0");
  EXPECT_EQ(boxes[1].owner, nullptr);
  EXPECT_FALSE(boxes[1].hasCaption);
  EXPECT_EQ(boxes[1].text, "no caption");
}

TEST_F(Diagnostics, ConsolePrintWithoutAConsoleWritesNothingAndDoesNotFail) {
  platform::desktop::detachConsole();
  consolePrint("%s:%d:%s\n", "src/main.cpp", 34, "WinMain");
  EXPECT_EQ(platform::desktop::consoleOutput(), "");
}

TEST_F(Diagnostics, AssertionEvaluatesItsConditionOnceAndPassesSilently) {
  int evaluations = 0;
  ASSERT((++evaluations) == 1);
  EXPECT_EQ(evaluations, 1);
  EXPECT_TRUE(platform::desktop::debugOutput().empty());
}

TEST_F(Diagnostics, AFailedAssertionWritesOneLineAndThrowsTheTextAssert) {
  int evaluations = 0;
  try {
    diagnosticsTest::failingCheck(&evaluations);
    ADD_FAILURE() << "expected the assertion to throw";
  } catch (const char* text) {
    EXPECT_STREQ(text, "assert");
  }
  EXPECT_EQ(evaluations, 1) << "the condition must be evaluated exactly once";
  EXPECT_EQ(platform::desktop::debugOutput(),
            (std::vector<std::string>{"assert:tests/unit/DiagnosticsTest.cpp:" + std::to_string(diagnosticsTest::kFailingCheckLine) +
                                      ":diagnosticsTest::failingCheck():++*evaluations == 0\n"}));
}

struct SignatureCase {
  const char* pretty;
  const char* qualified;
};

TEST(QualifiedFunctionName, DropsReturnTypeQualifiersAndParameters) {
  const SignatureCase cases[] = {
      {"void lib::winapi::BaseApplication::initInstance()", "lib::winapi::BaseApplication::initInstance"},
      {"lib::winapi::BaseWindow::BaseWindow(WNDPROC, const WNDCLASSEXA*, const char*)",
       "lib::winapi::BaseWindow::BaseWindow"},
      {"virtual lib::winapi::BaseWindow::~BaseWindow()", "lib::winapi::BaseWindow::~BaseWindow"},
      {"lib::xerces::XMLElement* lib::xerces::XMLManager::findElement(const char*)",
       "lib::xerces::XMLManager::findElement"},
      {"static ParentWindow* ParentWindow::getInstance()", "ParentWindow::getInstance"},
      {"std::vector<std::pair<int, int> > ns::make(int)", "ns::make"},
      {"int main()", "main"},
      {"name", "name"},
  };
  for (const SignatureCase& c : cases) {
    EXPECT_EQ(qualifiedFunctionName(c.pretty), c.qualified) << "from \"" << c.pretty << "\"";
  }
}

TEST(QualifiedFunctionName, MatchesWhatThisCompilerWrites) {
  lib::winapi::Probe probe;
  EXPECT_EQ(probe.name, "lib::winapi::Probe::Probe");
  EXPECT_STREQ(probe.method(0), "lib::winapi::Probe::method");
}

}  // namespace
