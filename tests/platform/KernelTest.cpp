// kernel32, shell32, winmm and the shared system objects of user32/gdi32.
#include "Win32Test.h"

#include <mmsystem.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace conformance {
namespace {

typedef std::basic_string<WCHAR> WideText;

WideText widen(const char* ascii) {
  WideText wide;
  for (; *ascii; ++ascii) {
    wide.push_back(static_cast<WCHAR>(*ascii));
  }
  return wide;
}

std::string narrow(const WCHAR* wide) {
  std::string text;
  for (; *wide; ++wide) {
    text.push_back(static_cast<char>(*wide));
  }
  return text;
}

class KernelTest : public Win32Test {};

TEST_F(KernelTest, CommandLineToArgvSplitsAsWin32Does) {
  struct Case {
    const char* commandLine;
    std::vector<std::string> arguments;
  };
  const Case cases[] = {
      {"program.exe", {"program.exe"}},
      {"program.exe a b", {"program.exe", "a", "b"}},
      {"program.exe   a\t b  ", {"program.exe", "a", "b"}},
      {"\"C:\\Program Files\\program.exe\" x", {"C:\\Program Files\\program.exe", "x"}},
      {"C:\\dir\\program.exe \"two words\"", {"C:\\dir\\program.exe", "two words"}},
      {"p a\\\\b", {"p", "a\\\\b"}},            // backslashes not before a quote are literal
      {"p a\\\"b", {"p", "a\"b"}},              // an odd count escapes the quote
      {"p a\\\\\"b c\"", {"p", "a\\b c"}},      // an even count halves and the quote opens
      {"p \"\"", {"p", ""}},                    // an empty quoted argument counts
      {"p \"a\"\"b\"", {"p", "a\"b"}},          // a doubled quote inside quotes gives one
      {"p a\"b c\"d", {"p", "ab cd"}},          // quoting may start within an argument
  };
  for (const Case& testCase : cases) {
    int count = 0;
    WideText commandLine = widen(testCase.commandLine);
    LPWSTR* arguments = CommandLineToArgvW(commandLine.c_str(), &count);
    ASSERT_TRUE(arguments != NULL) << testCase.commandLine;

    std::vector<std::string> split;
    for (int index = 0; index < count; ++index) {
      split.push_back(narrow(arguments[index]));
    }
    EXPECT_EQ(testCase.arguments, split) << "splitting [" << testCase.commandLine << "]";
    EXPECT_TRUE(arguments[count] == NULL) << "expected a null after the last argument of [" << testCase.commandLine
                                          << "]";
    EXPECT_TRUE(LocalFree(arguments) == NULL);
  }
}

TEST_F(KernelTest, CommandLineToArgvOfTheProcessCommandLine) {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  ASSERT_TRUE(arguments != NULL);
  EXPECT_GE(count, 1);
  EXPECT_TRUE(LocalFree(arguments) == NULL);

  SetLastError(0);
  EXPECT_TRUE(CommandLineToArgvW(GetCommandLineW(), NULL) == NULL);
  EXPECT_LAST_ERROR(ERROR_INVALID_PARAMETER);
}

// 日本語 in UTF-8 and in UTF-16.
const char kJapaneseUtf8[] = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E";
const WCHAR kJapaneseUtf16[] = {0x65E5, 0x672C, 0x8A9E, 0};

TEST_F(KernelTest, MultiByteToWideCharConvertsJapaneseText) {
  EXPECT_EQ(4, MultiByteToWideChar(CP_UTF8, 0, kJapaneseUtf8, -1, NULL, 0)) << "size with the terminator";
  EXPECT_EQ(3, MultiByteToWideChar(CP_UTF8, 0, kJapaneseUtf8, 9, NULL, 0)) << "size without the terminator";

  WCHAR wide[8] = {};
  ASSERT_EQ(4, MultiByteToWideChar(CP_UTF8, 0, kJapaneseUtf8, -1, wide, 8));
  EXPECT_EQ(WideText(kJapaneseUtf16), WideText(wide));

  WCHAR tooSmall[2] = {};
  SetLastError(0);
  EXPECT_EQ(0, MultiByteToWideChar(CP_UTF8, 0, kJapaneseUtf8, -1, tooSmall, 2));
  EXPECT_LAST_ERROR(ERROR_INSUFFICIENT_BUFFER);
}

TEST_F(KernelTest, WideCharToMultiByteConvertsJapaneseText) {
  EXPECT_EQ(10, WideCharToMultiByte(CP_UTF8, 0, kJapaneseUtf16, -1, NULL, 0, NULL, NULL));

  char text[16] = {};
  ASSERT_EQ(10, WideCharToMultiByte(CP_UTF8, 0, kJapaneseUtf16, -1, text, sizeof text, NULL, NULL));
  EXPECT_EQ(std::string(kJapaneseUtf8), std::string(text));

  char tooSmall[4] = {};
  SetLastError(0);
  EXPECT_EQ(0, WideCharToMultiByte(CP_UTF8, 0, kJapaneseUtf16, -1, tooSmall, sizeof tooSmall, NULL, NULL));
  EXPECT_LAST_ERROR(ERROR_INSUFFICIENT_BUFFER);
}

TEST_F(KernelTest, InvalidUtf8IsRefusedOnlyWhenAsked) {
  const char invalid[] = "a\xFF" "b";
  SetLastError(0);
  EXPECT_EQ(0, MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, invalid, -1, NULL, 0));
  EXPECT_LAST_ERROR(ERROR_NO_UNICODE_TRANSLATION);

  WCHAR wide[8] = {};
  ASSERT_EQ(4, MultiByteToWideChar(CP_UTF8, 0, invalid, -1, wide, 8));
  EXPECT_EQ(0xFFFD, wide[1]) << "expected the replacement character";
}

TEST_F(KernelTest, TimerPeriods) {
  EXPECT_EQ(static_cast<MMRESULT>(TIMERR_NOERROR), timeBeginPeriod(1));
  EXPECT_EQ(static_cast<MMRESULT>(TIMERR_NOERROR), timeEndPeriod(1));
  EXPECT_EQ(static_cast<MMRESULT>(TIMERR_NOCANDO), timeBeginPeriod(0));
  EXPECT_EQ(static_cast<MMRESULT>(TIMERR_NOCANDO), timeEndPeriod(0));
}

TEST_F(KernelTest, SystemIconsAndCursorsAreShared) {
  HICON icon = LoadIconA(NULL, IDI_APPLICATION);
  HCURSOR cursor = LoadCursorA(NULL, IDC_ARROW);
  EXPECT_TRUE(icon != NULL);
  EXPECT_TRUE(cursor != NULL);
  EXPECT_EQ(icon, LoadIconA(NULL, IDI_APPLICATION));
  EXPECT_EQ(cursor, LoadCursorA(NULL, IDC_ARROW));
  EXPECT_TRUE(GetStockObject(WHITE_BRUSH) != NULL);
  EXPECT_EQ(GetStockObject(WHITE_BRUSH), GetStockObject(WHITE_BRUSH));
  EXPECT_NE(GetStockObject(WHITE_BRUSH), GetStockObject(BLACK_BRUSH));
}

TEST_F(KernelTest, WritingToANullConsoleHandleFails) {
  DWORD written = 99;
  SetLastError(0);
  EXPECT_FALSE(WriteConsoleA(NULL, "text", 4, &written, NULL));
  EXPECT_LAST_ERROR(ERROR_INVALID_HANDLE);
}

TEST_F(KernelTest, ThePerformanceCounterRuns) {
  LARGE_INTEGER frequency = {};
  LARGE_INTEGER first = {};
  LARGE_INTEGER second = {};
  ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
  EXPECT_GT(frequency.QuadPart, 0);
  ASSERT_TRUE(QueryPerformanceCounter(&first));
  ASSERT_TRUE(QueryPerformanceCounter(&second));
  EXPECT_GE(second.QuadPart, first.QuadPart) << "the counter went backwards";
}

TEST_F(KernelTest, TheProgramModule) {
  EXPECT_TRUE(GetModuleHandleA(NULL) != NULL);
  SetLastError(0);
  EXPECT_TRUE(GetModuleHandleA("no-such-module.dll") == NULL);
  EXPECT_LAST_ERROR(ERROR_MOD_NOT_FOUND);
}

}  // namespace
}  // namespace conformance
