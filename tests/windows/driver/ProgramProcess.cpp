#include "ProgramProcess.h"

#include <vector>

ProgramProcess::~ProgramProcess() {
  if (information_.hProcess == NULL) {
    return;
  }
  if (running()) {
    TerminateProcess(information_.hProcess, 1);
    WaitForSingleObject(information_.hProcess, 5000);
  }
  CloseHandle(information_.hThread);
  CloseHandle(information_.hProcess);
}

bool ProgramProcess::start(const std::string& program, const std::string& currentDirectory,
                           const std::string& arguments) {
  std::string line = "\"" + program + "\"";
  if (!arguments.empty()) {
    line += " " + arguments;
  }
  std::vector<char> commandLine(line.begin(), line.end());
  commandLine.push_back('\0');
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  // Wine reports ERROR_INTERNAL_ERROR when the new process died in its own loader, before any of the program
  // ran (once in many hundred starts on a loaded machine): such a start is tried again.
  DWORD error = ERROR_INTERNAL_ERROR;
  for (int attempt = 0; attempt < 3 && error == ERROR_INTERNAL_ERROR; ++attempt) {
    if (CreateProcessA(program.c_str(), commandLine.data(), NULL, NULL, FALSE, 0, NULL, currentDirectory.c_str(),
                       &startup, &information_)) {
      return true;
    }
    error = GetLastError();
  }
  information_ = PROCESS_INFORMATION();
  error_ = "CreateProcess(" + program + ") failed with error " + std::to_string(error);
  return false;
}

bool ProgramProcess::running() const {
  return information_.hProcess != NULL && WaitForSingleObject(information_.hProcess, 0) == WAIT_TIMEOUT;
}

bool ProgramProcess::waitForExit(DWORD timeoutMilliseconds) const {
  return information_.hProcess != NULL &&
         WaitForSingleObject(information_.hProcess, timeoutMilliseconds) == WAIT_OBJECT_0;
}

bool ProgramProcess::waitForInputIdle(DWORD timeoutMilliseconds) const {
  return information_.hProcess != NULL && WaitForInputIdle(information_.hProcess, timeoutMilliseconds) == 0;
}

DWORD ProgramProcess::exitCode() const {
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(information_.hProcess, &code);
  return code;
}
