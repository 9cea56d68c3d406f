// The command line: GetCommandLineW and shell32's CommandLineToArgvW.
#include "core/Desktop.h"
#include "kernel32/LocalMemory.h"
#include "core/Text.h"

#include <shellapi.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

bool isBlank(char16_t character) { return character == u' ' || character == u'\t'; }

bool isSpace(char16_t character) { return isBlank(character) || (character >= u'\n' && character <= u'\r'); }

// The program name follows its own rule: it ends at the next quote when it
// starts with one, otherwise at the first white space; backslashes are
// plain characters in it.
std::u16string splitProgramName(const char16_t*& position) {
  std::u16string name;
  if (*position == u'"') {
    ++position;
    while (*position && *position != u'"') {
      name.push_back(*position++);
    }
    if (*position == u'"') {
      ++position;
    }
  } else {
    while (*position && !isSpace(*position)) {
      name.push_back(*position++);
    }
    if (*position) {
      ++position;  // the white space that ended it, whatever kind it is
    }
  }
  return name;
}

// One argument after the program name. Blanks separate arguments outside
// quotes; 2n backslashes before a quote give n backslashes and the quote
// opens or closes quoting, 2n+1 give n backslashes and a literal quote;
// other backslashes are literal. Inside quotes, of consecutive quotes (the
// opening one counted) every third gives a literal quote, and the quoted
// part ends unless the count is a multiple of three.
std::u16string splitArgument(const char16_t*& position) {
  std::u16string argument;
  int quoteCount = 0;
  int backslashCount = 0;
  while (*position && !(isBlank(*position) && quoteCount == 0)) {
    char16_t character = *position++;
    if (character == u'\\') {
      argument.push_back(character);
      ++backslashCount;
      continue;
    }
    if (character != u'"') {
      argument.push_back(character);
      backslashCount = 0;
      continue;
    }
    argument.erase(argument.size() - static_cast<std::size_t>(backslashCount / 2));
    if (backslashCount % 2 == 0) {
      ++quoteCount;
    } else {
      argument.back() = u'"';
    }
    backslashCount = 0;
    while (*position == u'"') {
      ++position;
      if (++quoteCount == 3) {
        argument.push_back(u'"');
        quoteCount = 0;
      }
    }
    if (quoteCount == 2) {
      quoteCount = 0;
    }
  }
  return argument;
}

std::vector<std::u16string> splitCommandLine(const char16_t* commandLine) {
  const char16_t* position = commandLine;
  std::vector<std::u16string> arguments;
  arguments.push_back(splitProgramName(position));
  while (true) {
    while (isBlank(*position)) {
      ++position;
    }
    if (!*position) {
      return arguments;
    }
    arguments.push_back(splitArgument(position));
  }
}

// The program's own path, which an empty command line stands for.
std::u16string programPath() {
  const char16_t* position = platform::theDesktop().commandLine.c_str();
  return splitProgramName(position);
}

// Lays the pointer table and the texts out in one block, so that a single
// LocalFree releases everything.
LPWSTR* packArguments(const std::vector<std::u16string>& arguments) {
  std::size_t tableSize = (arguments.size() + 1) * sizeof(LPWSTR);
  std::size_t textSize = 0;
  for (const std::u16string& argument : arguments) {
    textSize += (argument.size() + 1) * sizeof(WCHAR);
  }
  void* block = platform::localAllocate(tableSize + textSize);
  if (!block) {
    return nullptr;
  }
  LPWSTR* table = static_cast<LPWSTR*>(block);
  WCHAR* text = reinterpret_cast<WCHAR*>(static_cast<char*>(block) + tableSize);
  for (std::size_t index = 0; index < arguments.size(); ++index) {
    table[index] = text;
    std::memcpy(text, arguments[index].c_str(), (arguments[index].size() + 1) * sizeof(WCHAR));
    text += arguments[index].size() + 1;
  }
  table[arguments.size()] = nullptr;
  return table;
}

}  // namespace

extern "C" {

LPWSTR WINAPI GetCommandLineW(void) { return &platform::theDesktop().commandLine[0]; }

LPWSTR* WINAPI CommandLineToArgvW(LPCWSTR commandLine, int* argumentCount) {
  if (!commandLine || !argumentCount) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::vector<std::u16string> arguments;
  if (*commandLine == 0) {
    arguments.push_back(programPath());
  } else {
    arguments = splitCommandLine(commandLine);
  }
  LPWSTR* table = packArguments(arguments);
  if (!table) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  *argumentCount = static_cast<int>(arguments.size());
  return table;
}

}  // extern "C"

namespace platform {
namespace desktop {

void setCommandLine(const std::string& commandLine) { theDesktop().commandLine = utf16FromUtf8(commandLine); }

}  // namespace desktop
}  // namespace platform
