// A program started for timing, and what /proc says about it: CPU time,
// resident size, wake-ups. Its stdin and stdout can be pipes to talk to it;
// its stderr goes to a file, which the drag reads the program's debugger
// lines from. A process still running when the object goes is killed.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace desktoptiming {

class ChildProcess {
 public:
  // Starts `arguments` (the program first). With `talk`, stdin and stdout
  // are pipes to this process; otherwise stdin is /dev/null and stdout is
  // the stderr file too.
  ChildProcess(const std::vector<std::string>& arguments, const std::string& stderrFile, bool talk);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  pid_t pid() const { return pid_; }
  bool running();

  // One line of its stdout without the newline; false when none came
  // within `seconds` or the pipe closed.
  bool readLine(std::string& line, double seconds);
  void writeLine(const std::string& line);
  void signal(int signalNumber);

  // Its exit status, or -1000 when it did not end within `seconds`
  // (it is killed then), or minus the signal that ended it.
  int waitForExit(double seconds);

  // Every thread's time on a CPU so far, in nanoseconds: the scheduler's
  // own count where the kernel keeps one, else utime + stime in ticks.
  double cpuNanoseconds() const;
  // utime + stime in clock ticks, as /proc/PID/stat gives them.
  long cpuTicks() const;
  // Voluntary and involuntary context switches of every thread: each is a
  // wake-up of the program or a preemption of it.
  long contextSwitches() const;
  // A line of /proc/PID/status ("VmRSS", "RssAnon"...) in KiB, -1 if none.
  long statusKiB(const char* field) const;

 private:
  std::vector<pid_t> threads() const;

  pid_t pid_ = -1;
  int status_ = 0;
  bool ended_ = false;
  int toChild_ = -1;
  int fromChild_ = -1;
  std::string pending_;
};

// Seconds on a steady clock, for timing from outside.
double now();
void sleepFor(double seconds);

}  // namespace desktoptiming
