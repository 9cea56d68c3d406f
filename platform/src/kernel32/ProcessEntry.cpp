// The process entry of the Linux build: the command line as Win32 gives it,
// then the program's WinMain, whose result is the exit status.
#include <platform/desktop.h>
#include <platform/entry.h>

#include <string>

namespace {

// Quotes an argument so that CommandLineToArgvW gives it back unchanged:
// backslashes before a quote (or before the closing quote) are doubled.
std::string quoted(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos) {
    return argument;
  }
  std::string result = "\"";
  std::size_t backslashes = 0;
  for (char character : argument) {
    if (character == '\\') {
      ++backslashes;
      continue;
    }
    result.append(character == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    result.push_back(character);
  }
  result.append(backslashes * 2, '\\');
  result.push_back('"');
  return result;
}

}  // namespace

namespace platform {

int runWinMain(int argc, char** argv) {
  std::string programName = argc > 0 ? argv[0] : "program.exe";
  // The program name follows a simpler rule: quotes only, no escapes.
  std::string commandLine = programName.find_first_of(" \t") == std::string::npos ? programName
                                                                                   : "\"" + programName + "\"";
  std::string arguments;
  for (int index = 1; index < argc; ++index) {
    arguments += (index > 1 ? " " : "") + quoted(argv[index]);
  }
  if (!arguments.empty()) {
    commandLine += " " + arguments;
  }
  platform::desktop::setCommandLine(commandLine);
  return WinMain(GetModuleHandleA(NULL), NULL, &arguments[0], SW_SHOWDEFAULT);
}

}  // namespace platform
