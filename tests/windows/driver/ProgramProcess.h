// One run of a Windows program started by the driver, in a given current
// directory. Whatever is still running when the object goes is terminated.
#pragma once

#include <windows.h>

#include <string>

class ProgramProcess {
 public:
  ProgramProcess() = default;
  ~ProgramProcess();
  ProgramProcess(const ProgramProcess&) = delete;
  ProgramProcess& operator=(const ProgramProcess&) = delete;

  // Returns false, with the reason in error(), when CreateProcess fails.
  bool start(const std::string& program, const std::string& currentDirectory, const std::string& arguments = "");
  bool running() const;
  // True when the process ended within the timeout.
  bool waitForExit(DWORD timeoutMilliseconds) const;
  // True once the program has started and waits for input in its message
  // loop (WaitForInputIdle).
  bool waitForInputIdle(DWORD timeoutMilliseconds) const;
  DWORD exitCode() const;
  DWORD id() const { return information_.dwProcessId; }
  const std::string& error() const { return error_; }

 private:
  PROCESS_INFORMATION information_ = {};
  std::string error_;
};
