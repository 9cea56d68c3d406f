// The test-facing view of the model desktop and the scripted host. Linux
// only: these calls are the layer's own, not Win32.
#ifndef _WIN32

#include "Win32Test.h"

#include <mmsystem.h>
#include <platform/desktop.h>
#include <shellapi.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

namespace desktop = platform::desktop;
namespace script = platform::script;

std::vector<UINT>& handledMessages() {
  static std::vector<UINT> messages;
  return messages;
}

LRESULT CALLBACK recordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  handledMessages().push_back(message);
  return DefWindowProcA(window, message, wParam, lParam);
}

// Throws out of the message named in the window's creation parameter.
UINT messageToThrowFrom = 0;
LRESULT CALLBACK throwingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == messageToThrowFrom) {
    throw std::runtime_error("thrown by the window procedure");
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

class DesktopModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    desktop::reset();
    desktop::setEcho(false);
    handledMessages().clear();
    script::onExhausted([this](const char* waitingIn) { exhaustedIn_.push_back(waitingIn); });
  }

  ATOM registerClass(const char* className, WNDPROC procedure = recordingProcedure) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.lpszClassName = className;
    return RegisterClassExA(&windowClass);
  }

  HWND createWindow(const char* className) {
    return CreateWindowExA(0, className, "window", WS_POPUP, 0, 0, 10, 10, NULL, NULL, GetModuleHandleA(NULL), NULL);
  }

  std::vector<std::string> exhaustedIn_;
};

TEST_F(DesktopModelTest, DebuggerOutputIsRecordedOneEntryACall) {
  OutputDebugStringA("first line\n");
  OutputDebugStringA("second");

  const std::vector<std::string> expected = {"first line\n", "second"};
  EXPECT_EQ(expected, desktop::debugOutput());
}

TEST_F(DesktopModelTest, ConsoleOutputIsRecordedAndCountsItsBytes) {
  HANDLE console = GetStdHandle(STD_OUTPUT_HANDLE);
  ASSERT_TRUE(console != NULL && console != INVALID_HANDLE_VALUE);
  DWORD written = 0;

  ASSERT_TRUE(WriteConsoleA(console, "abc", 3, &written, NULL));
  ASSERT_TRUE(WriteConsoleA(console, "de", 2, NULL, NULL));

  EXPECT_EQ(3u, written);
  EXPECT_EQ("abcde", desktop::consoleOutput());
}

TEST_F(DesktopModelTest, WithoutAConsoleNothingIsWritten) {
  desktop::detachConsole();
  HANDLE console = GetStdHandle(STD_OUTPUT_HANDLE);
  EXPECT_TRUE(console == NULL);

  SetLastError(0);
  EXPECT_FALSE(WriteConsoleA(console, "lost", 4, NULL, NULL));
  EXPECT_LAST_ERROR(ERROR_INVALID_HANDLE);
  EXPECT_EQ("", desktop::consoleOutput());
}

TEST_F(DesktopModelTest, AMessageBoxIsRecordedAndClosedByTheScriptedButton) {
  ASSERT_NE(0, registerClass("ModelOwner"));
  HWND owner = createWindow("ModelOwner");
  script::pressMessageBoxButton(IDNO);

  int result = MessageBoxA(owner, "question", NULL, MB_YESNO | MB_ICONQUESTION);

  EXPECT_EQ(IDNO, result);
  ASSERT_EQ(1u, desktop::messageBoxes().size());
  const desktop::ShownMessageBox& box = desktop::messageBoxes()[0];
  EXPECT_EQ(owner, box.owner);
  EXPECT_EQ("question", box.text);
  EXPECT_FALSE(box.hasCaption);
  EXPECT_EQ("Error", box.caption) << "a null caption shows as the default caption";
  EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONQUESTION), box.type);
  EXPECT_EQ(IDNO, box.result);
  EXPECT_TRUE(exhaustedIn_.empty());
}

TEST_F(DesktopModelTest, AMessageBoxThatCannotBeShownFailsWithoutARecord) {
  ASSERT_NE(0, registerClass("ModelGoneOwner"));
  HWND gone = createWindow("ModelGoneOwner");
  ASSERT_TRUE(DestroyWindow(gone));

  SetLastError(0);
  EXPECT_EQ(0, MessageBoxA(gone, "text", NULL, MB_OK));
  EXPECT_LAST_ERROR(ERROR_INVALID_WINDOW_HANDLE);
  SetLastError(0);
  EXPECT_EQ(0, MessageBoxA(NULL, "text", NULL, 0x0F));
  EXPECT_LAST_ERROR(ERROR_INVALID_MSGBOX_STYLE);
  EXPECT_TRUE(desktop::messageBoxes().empty());
}

TEST_F(DesktopModelTest, TheMessageBoxLoopDispatchesPostedMessagesBeforeAskingTheHost) {
  ASSERT_NE(0, registerClass("ModelModal"));
  HWND window = createWindow("ModelModal");
  handledMessages().clear();
  ASSERT_TRUE(PostMessageA(window, WM_USER + 1, 0, 0));
  script::then([] { EXPECT_EQ(std::vector<UINT>{WM_USER + 1}, handledMessages()) << "expected dispatch first"; });
  script::pressMessageBoxButton(IDOK);

  EXPECT_EQ(IDOK, MessageBoxA(NULL, "text", "caption", MB_OK));
  EXPECT_EQ(0u, script::pendingActions());
}

TEST_F(DesktopModelTest, ScriptedActionsRunWhenGetMessageWaits) {
  std::vector<int> order;
  script::then([&order] {
    order.push_back(1);
    PostMessageA(NULL, WM_USER + 2, 0, 0);
  });
  script::then([&order] {
    order.push_back(2);
    PostQuitMessage(4);
  });
  EXPECT_EQ(2u, script::pendingActions());
  MSG message;

  ASSERT_EQ(1, GetMessageA(&message, NULL, 0, 0));
  EXPECT_EQ(static_cast<UINT>(WM_USER + 2), message.message);
  EXPECT_EQ(1u, script::pendingActions());
  ASSERT_EQ(0, GetMessageA(&message, NULL, 0, 0));
  EXPECT_EQ(4u, message.wParam);
  EXPECT_EQ((std::vector<int>{1, 2}), order);
}

TEST_F(DesktopModelTest, AnExhaustedScriptGoesToTheHandlerAndTheWaitingCallGivesUp) {
  MSG message;
  EXPECT_EQ(-1, GetMessageA(&message, NULL, 0, 0));
  EXPECT_EQ(0, MessageBoxA(NULL, "unanswered", "caption", MB_OK));

  const std::vector<std::string> expected = {"GetMessageA", "MessageBoxA"};
  EXPECT_EQ(expected, exhaustedIn_);
}

TEST_F(DesktopModelTest, PressesThatCannotBeCarriedOutGoToTheHandler) {
  script::pressMessageBoxButton(IDOK);  // while GetMessageA waits: no box open
  script::then([] { PostQuitMessage(0); });
  MSG message;
  EXPECT_EQ(0, GetMessageA(&message, NULL, 0, 0));
  EXPECT_EQ(std::vector<std::string>{"GetMessageA"}, exhaustedIn_);

  exhaustedIn_.clear();
  script::pressMessageBoxButton(IDYES);  // an MB_OK box has no Yes button
  script::pressMessageBoxButton(IDOK);
  EXPECT_EQ(IDOK, MessageBoxA(NULL, "text", NULL, MB_OK));
  EXPECT_EQ(std::vector<std::string>{"MessageBoxA"}, exhaustedIn_);
}

TEST_F(DesktopModelTest, TheDefaultExhaustedHandlerEndsTheProcessWithAClearMessage) {
  EXPECT_EXIT(
      {
        desktop::reset();
        MSG message;
        GetMessageA(&message, NULL, 0, 0);
      },
      ::testing::ExitedWithCode(3), "waits for input in GetMessageA but the script has no more actions");
}

TEST_F(DesktopModelTest, TimerPeriodsAreCountedPerPeriod) {
  EXPECT_EQ(0, desktop::timerPeriodsInForce());
  EXPECT_EQ(static_cast<MMRESULT>(TIMERR_NOERROR), timeBeginPeriod(1));
  EXPECT_EQ(static_cast<MMRESULT>(TIMERR_NOERROR), timeBeginPeriod(1));
  EXPECT_EQ(2, desktop::timerPeriodsInForce());

  EXPECT_EQ(static_cast<MMRESULT>(TIMERR_NOCANDO), timeEndPeriod(5)) << "no period 5 is in force";
  EXPECT_EQ(static_cast<MMRESULT>(TIMERR_NOERROR), timeEndPeriod(1));
  EXPECT_EQ(static_cast<MMRESULT>(TIMERR_NOERROR), timeEndPeriod(1));
  EXPECT_EQ(0, desktop::timerPeriodsInForce());
  EXPECT_EQ(static_cast<MMRESULT>(TIMERR_NOCANDO), timeEndPeriod(1)) << "nothing left to end";
}

TEST_F(DesktopModelTest, AForeignWindowIsFoundButItsClassIsNotTheProgramsOwn) {
  HWND foreign = desktop::createForeignWindow("ModelForeign", "Foreign Title");
  ASSERT_TRUE(foreign != NULL);

  EXPECT_EQ(foreign, FindWindowA("ModelForeign", "Foreign Title"));
  EXPECT_EQ(std::vector<HWND>{foreign}, desktop::windows());
  EXPECT_FALSE(desktop::isClassRegistered("ModelForeign", GetModuleHandleA(NULL)));
  char title[32] = "";
  EXPECT_EQ(13, GetWindowTextA(foreign, title, sizeof title));
  EXPECT_STREQ("Foreign Title", title);
  DWORD process = 0;
  GetWindowThreadProcessId(foreign, &process);
  EXPECT_NE(GetCurrentProcessId(), process) << "another program's window is another process's";

  // The program may register a class of the same name in its own module.
  ASSERT_NE(0, registerClass("ModelForeign"));
  EXPECT_TRUE(desktop::isClassRegistered("ModelForeign", GetModuleHandleA(NULL)));
  EXPECT_TRUE(UnregisterClassA("ModelForeign", GetModuleHandleA(NULL)));
}

// Another program's window belongs to that program: ours may not destroy
// it, and what we post to it waits in that program's queue until it runs,
// which is while ours waits for input.
TEST_F(DesktopModelTest, AnotherProgramsWindowIsThatProgramsToHandleAndDestroy) {
  HWND foreign = desktop::createForeignWindow("ModelForeign", "closing");

  SetLastError(0);
  EXPECT_FALSE(DestroyWindow(foreign));
  EXPECT_LAST_ERROR(ERROR_ACCESS_DENIED);
  ASSERT_TRUE(PostMessageA(foreign, WM_CLOSE, 0, 0));
  EXPECT_TRUE(IsWindow(foreign)) << "the other program has not run yet";

  bool closedWhileWeWaited = false;
  script::then([&] {
    closedWhileWeWaited = !IsWindow(foreign);
    PostQuitMessage(0);
  });
  MSG message;
  EXPECT_EQ(0, GetMessageA(&message, NULL, 0, 0)) << "the other program's WM_CLOSE must not reach our queue";
  EXPECT_TRUE(closedWhileWeWaited);
  EXPECT_TRUE(desktop::windows().empty());
}

TEST_F(DesktopModelTest, ResetGivesAFreshDesktopWithFreshHandles) {
  ASSERT_NE(0, registerClass("ModelReset"));
  HWND before = createWindow("ModelReset");
  OutputDebugStringA("before");
  timeBeginPeriod(1);
  PostQuitMessage(1);

  desktop::reset();
  script::onExhausted([this](const char* waitingIn) { exhaustedIn_.push_back(waitingIn); });

  EXPECT_FALSE(IsWindow(before));
  EXPECT_TRUE(desktop::windows().empty());
  EXPECT_FALSE(desktop::isClassRegistered("ModelReset", GetModuleHandleA(NULL)));
  EXPECT_TRUE(desktop::debugOutput().empty());
  EXPECT_EQ(0, desktop::timerPeriodsInForce());
  MSG message;
  EXPECT_EQ(-1, GetMessageA(&message, NULL, 0, 0)) << "the quit request did not survive the reset";
  ASSERT_NE(0, registerClass("ModelReset"));
  EXPECT_NE(before, createWindow("ModelReset"));
}

TEST_F(DesktopModelTest, TheCommandLineIsGivenAsUtf16) {
  desktop::setCommandLine("\"/opt/my program\" \xE6\x97\xA5");
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  ASSERT_TRUE(arguments != NULL);
  ASSERT_EQ(2, count);
  EXPECT_EQ(std::u16string(u"/opt/my program"), std::u16string(arguments[0]));
  EXPECT_EQ(std::u16string(u"\u65E5"), std::u16string(arguments[1]));
  LocalFree(arguments);

  // An empty command line stands for the program's own path.
  arguments = CommandLineToArgvW(u"", &count);
  ASSERT_TRUE(arguments != NULL);
  EXPECT_EQ(1, count);
  EXPECT_EQ(std::u16string(u"/opt/my program"), std::u16string(arguments[0]));
  LocalFree(arguments);
}

// A 2 by 2 icon file with one 32-bit image; the pixels are given top row
// first as 0xAARRGGBB and stored bottom row first, as .ico files do.
std::vector<unsigned char> iconFile(const std::uint32_t (&pixels)[4]) {
  std::vector<unsigned char> file;
  auto word = [&file](unsigned value) {
    file.push_back(static_cast<unsigned char>(value));
    file.push_back(static_cast<unsigned char>(value >> 8));
  };
  auto dword = [&word](std::uint32_t value) {
    word(value & 0xFFFF);
    word(value >> 16);
  };
  const std::uint32_t imageSize = 40 + 16 + 8;
  word(0), word(1), word(1);                                    // ICONDIR: an icon with one image
  file.push_back(2), file.push_back(2), file.push_back(0), file.push_back(0);
  word(1), word(32), dword(imageSize), dword(6 + 16);           // the entry
  dword(40), dword(2), dword(4), word(1), word(32), dword(0);  // BITMAPINFOHEADER, height doubled
  dword(0), dword(0), dword(0), dword(0), dword(0);
  for (int row = 1; row >= 0; --row) {
    dword(pixels[row * 2]);
    dword(pixels[row * 2 + 1]);
  }
  for (int row = 0; row < 2; ++row) {
    dword(0);  // AND mask rows, 32-bit aligned
  }
  return file;
}

const std::uint32_t kIconPixels[4] = {0xFF112233, 0x80445566, 0x00000000, 0xFFAABBCC};

TEST_F(DesktopModelTest, AnIconGroupResourceLoadsWithItsPixels) {
  std::vector<unsigned char> file = iconFile(kIconPixels);
  platform::addModuleResource(RT_GROUP_ICON, "ModelIcon", file.data(), file.size());

  HICON icon = static_cast<HICON>(LoadImageA(GetModuleHandleA(NULL), "MODELICON", IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR));

  ASSERT_TRUE(icon != NULL) << "error " << GetLastError();
  const desktop::IconImage* image = desktop::iconImage(icon);
  ASSERT_TRUE(image != nullptr);
  EXPECT_EQ(2, image->width);
  EXPECT_EQ(2, image->height);
  EXPECT_EQ(32, image->bitsPerPixel);
  EXPECT_EQ(std::vector<std::uint32_t>(kIconPixels, kIconPixels + 4), image->pixels);

  EXPECT_TRUE(DestroyIcon(icon));
  EXPECT_TRUE(desktop::iconImage(icon) == nullptr);
  SetLastError(0);
  EXPECT_FALSE(DestroyIcon(icon));
  EXPECT_LAST_ERROR(ERROR_INVALID_CURSOR_HANDLE);
}

TEST_F(DesktopModelTest, IconSizesFollowTheRequest) {
  std::vector<unsigned char> file = iconFile(kIconPixels);
  platform::addModuleResource(RT_GROUP_ICON, MAKEINTRESOURCEA(7), file.data(), file.size());
  HINSTANCE module = GetModuleHandleA(NULL);
  struct Case {
    int width;
    int height;
    UINT flags;
    int expectedWidth;
    int expectedHeight;
  };
  const Case cases[] = {{0, 0, LR_DEFAULTCOLOR, 2, 2}, {0, 0, LR_DEFAULTSIZE, 32, 32}, {4, 6, 0, 4, 6}};
  for (const Case& testCase : cases) {
    HICON icon = static_cast<HICON>(LoadImageA(module, "#7", IMAGE_ICON, testCase.width, testCase.height, testCase.flags));
    ASSERT_TRUE(icon != NULL);
    const desktop::IconImage* image = desktop::iconImage(icon);
    ASSERT_TRUE(image != nullptr);
    EXPECT_EQ(testCase.expectedWidth, image->width) << "asked " << testCase.width << " with flags " << testCase.flags;
    EXPECT_EQ(testCase.expectedHeight, image->height) << "asked " << testCase.height << " with flags " << testCase.flags;
  }
  EXPECT_EQ(LoadIconA(module, MAKEINTRESOURCEA(7)), LoadIconA(module, MAKEINTRESOURCEA(7))) << "LoadIcon shares";
}

// An icon file of 32-bit square images, each of one colour, with clear AND
// masks.
struct IconSquare {
  int size;
  std::uint32_t colour;  // 0xAARRGGBB
};

std::vector<unsigned char> iconGroup(const std::vector<IconSquare>& squares) {
  std::vector<unsigned char> file;
  auto bytes = [&file](std::uint32_t value, int count) {  // little-endian; zeros beyond four bytes
    for (int byte = 0; byte < count; ++byte) {
      file.push_back(static_cast<unsigned char>(byte < 4 ? value >> (8 * byte) : 0));
    }
  };
  auto maskBytes = [](int size) { return (size + 31) / 32 * 4 * size; };
  bytes(0, 2), bytes(1, 2), bytes(static_cast<std::uint32_t>(squares.size()), 2);
  std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * squares.size());
  for (const IconSquare& square : squares) {
    std::uint32_t size = 40 + 4 * square.size * square.size + maskBytes(square.size);
    bytes(square.size * 0x101, 2), bytes(0, 2), bytes(1, 2), bytes(32, 2), bytes(size, 4), bytes(offset, 4);
    offset += size;
  }
  for (const IconSquare& square : squares) {
    bytes(40, 4), bytes(square.size, 4), bytes(square.size * 2, 4), bytes(1, 2), bytes(32, 2), bytes(0, 24);
    for (int pixel = 0; pixel < square.size * square.size; ++pixel) {
      bytes(square.colour, 4);
    }
    bytes(0, maskBytes(square.size));
  }
  return file;
}

TEST_F(DesktopModelTest, AnIconGroupGivesTheImageClosestToTheSizeAskedScaledToIt) {
  const std::uint32_t red = 0xFFFF0000;
  const std::uint32_t blue = 0x800000FF;
  std::vector<unsigned char> file = iconGroup({{2, red}, {4, blue}});
  platform::addModuleResource(RT_GROUP_ICON, "ModelSquares", file.data(), file.size());
  struct Case {
    int size;
    int expectedSize;
    std::uint32_t expectedColour;
  };
  const Case cases[] = {{0, 2, red}, {1, 1, red}, {2, 2, red}, {4, 4, blue}, {9, 9, blue}};
  for (const Case& testCase : cases) {
    HANDLE icon = LoadImageA(GetModuleHandleA(NULL), "ModelSquares", IMAGE_ICON, testCase.size, testCase.size, 0);
    const desktop::IconImage* image = desktop::iconImage(static_cast<HICON>(icon));
    ASSERT_TRUE(image != nullptr) << "size " << testCase.size << ": error " << GetLastError();
    EXPECT_EQ(testCase.expectedSize, image->width) << "size " << testCase.size;
    EXPECT_EQ(testCase.expectedSize, image->height) << "size " << testCase.size;
    EXPECT_EQ(std::vector<std::uint32_t>(image->pixels.size(), testCase.expectedColour), image->pixels)
        << "size " << testCase.size << ": scaling keeps one colour one colour";
  }
}

TEST_F(DesktopModelTest, MissingOrBrokenIconsFailWithAReason) {
  std::vector<unsigned char> file = iconFile(kIconPixels);
  platform::addModuleResource(RT_GROUP_ICON, "ModelGood", file.data(), file.size());
  std::vector<unsigned char> truncated(file.begin(), file.begin() + 50);
  platform::addModuleResource(RT_GROUP_ICON, "ModelTruncated", truncated.data(), truncated.size());
  std::vector<unsigned char> wrongDepth = file;
  wrongDepth[6 + 16 + 14] = 8;  // an 8-bit palette image
  platform::addModuleResource(RT_GROUP_ICON, "ModelPalette", wrongDepth.data(), wrongDepth.size());
  HINSTANCE module = GetModuleHandleA(NULL);
  struct Case {
    const char* name;
    DWORD error;
  };
  const Case cases[] = {{"ModelUnknown", ERROR_RESOURCE_NAME_NOT_FOUND},
                        {"ModelTruncated", ERROR_INVALID_DATA},
                        {"ModelPalette", ERROR_INVALID_DATA}};
  for (const Case& testCase : cases) {
    SetLastError(0);
    EXPECT_TRUE(LoadImageA(module, testCase.name, IMAGE_ICON, 0, 0, 0) == NULL) << testCase.name;
    EXPECT_EQ(testCase.error, GetLastError()) << testCase.name;
  }
  SetLastError(0);
  EXPECT_TRUE(LoadImageA(module, "ModelGood", IMAGE_BITMAP, 0, 0, 0) == NULL);
  EXPECT_LAST_ERROR(ERROR_RESOURCE_TYPE_NOT_FOUND);
}

TEST_F(DesktopModelTest, ResourcesOutliveAReset) {
  std::vector<unsigned char> file = iconFile(kIconPixels);
  platform::addModuleResource(RT_GROUP_ICON, "ModelKept", file.data(), file.size());
  desktop::reset();
  EXPECT_TRUE(LoadImageA(GetModuleHandleA(NULL), "ModelKept", IMAGE_ICON, 0, 0, 0) != NULL);
}

TEST_F(DesktopModelTest, LocalFreeRefusesWhatItDidNotHandOut) {
  int notABlock = 0;
  SetLastError(0);
  EXPECT_EQ(static_cast<HLOCAL>(&notABlock), LocalFree(&notABlock));
  EXPECT_LAST_ERROR(ERROR_INVALID_HANDLE);
  EXPECT_TRUE(LocalFree(NULL) == NULL);
}

TEST_F(DesktopModelTest, TheLayerStaysConsistentWhenAProcedureThrowsThroughIt) {
  ASSERT_NE(0, registerClass("ModelThrowing", throwingProcedure));

  messageToThrowFrom = WM_CREATE;
  EXPECT_THROW(createWindow("ModelThrowing"), std::runtime_error);
  EXPECT_TRUE(desktop::windows().empty()) << "a half-made window was left behind";

  messageToThrowFrom = WM_DESTROY;
  HWND window = createWindow("ModelThrowing");
  ASSERT_TRUE(window != NULL);
  EXPECT_THROW(DestroyWindow(window), std::runtime_error);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_TRUE(UnregisterClassA("ModelThrowing", GetModuleHandleA(NULL)));

  script::then([] { throw std::runtime_error("thrown by an action"); });
  EXPECT_THROW(MessageBoxA(NULL, "text", NULL, MB_OK), std::runtime_error);
  script::pressMessageBoxButton(IDOK);
  script::then([] { PostQuitMessage(0); });
  MSG message;
  GetMessageA(&message, NULL, 0, 0);
  EXPECT_EQ(std::vector<std::string>{"GetMessageA"}, exhaustedIn_) << "the box stayed open after the throw";
  messageToThrowFrom = 0;
}

}  // namespace

#endif  // _WIN32
