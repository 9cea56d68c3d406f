#include "ChildProcess.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace desktoptiming {

double now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void sleepFor(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

ChildProcess::ChildProcess(const std::vector<std::string>& arguments, const std::string& stderrFile, bool talk) {
  int input[2] = {-1, -1};
  int output[2] = {-1, -1};
  if (talk && (pipe2(input, O_CLOEXEC) != 0 || pipe2(output, O_CLOEXEC) != 0)) {
    throw std::runtime_error("no pipes for " + arguments.front());
  }
  int errorFile = open(stderrFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (errorFile < 0) {
    throw std::runtime_error("cannot write " + stderrFile);
  }
  std::vector<char*> argv;
  for (const std::string& argument : arguments) {
    argv.push_back(const_cast<char*>(argument.c_str()));
  }
  argv.push_back(nullptr);
  pid_ = fork();
  if (pid_ == 0) {
    int nothing = open("/dev/null", O_RDONLY);
    dup2(talk ? input[0] : nothing, 0);
    dup2(talk ? output[1] : errorFile, 1);
    dup2(errorFile, 2);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(errorFile);
  if (talk) {
    close(input[0]);
    close(output[1]);
    toChild_ = input[1];
    fromChild_ = output[0];
  }
  if (pid_ < 0) {
    throw std::runtime_error("cannot start " + arguments.front());
  }
}

ChildProcess::~ChildProcess() {
  if (running()) {
    kill(pid_, SIGKILL);
    waitpid(pid_, &status_, 0);
  }
  if (toChild_ >= 0) {
    close(toChild_);
  }
  if (fromChild_ >= 0) {
    close(fromChild_);
  }
}

bool ChildProcess::running() {
  if (ended_) {
    return false;
  }
  if (waitpid(pid_, &status_, WNOHANG) == pid_) {
    ended_ = true;
  }
  return !ended_;
}

bool ChildProcess::readLine(std::string& line, double seconds) {
  double end = now() + seconds;
  for (;;) {
    std::size_t newline = pending_.find('\n');
    if (newline != std::string::npos) {
      line = pending_.substr(0, newline);
      pending_.erase(0, newline + 1);
      return true;
    }
    double left = end - now();
    if (fromChild_ < 0 || left <= 0) {
      return false;
    }
    pollfd wanted = {fromChild_, POLLIN, 0};
    if (poll(&wanted, 1, static_cast<int>(left * 1000) + 1) <= 0) {
      continue;
    }
    char buffer[4096];
    ssize_t count = read(fromChild_, buffer, sizeof buffer);
    if (count <= 0) {
      return false;
    }
    pending_.append(buffer, static_cast<std::size_t>(count));
  }
}

void ChildProcess::writeLine(const std::string& line) {
  std::string text = line + "\n";
  if (toChild_ < 0 || write(toChild_, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
    throw std::runtime_error("cannot write to the program");
  }
}

void ChildProcess::signal(int signalNumber) { kill(pid_, signalNumber); }

int ChildProcess::waitForExit(double seconds) {
  double end = now() + seconds;
  while (running()) {
    if (now() > end) {
      kill(pid_, SIGKILL);
      waitpid(pid_, &status_, 0);
      ended_ = true;
      return -1000;
    }
    sleepFor(0.01);
  }
  return WIFEXITED(status_) ? WEXITSTATUS(status_) : -WTERMSIG(status_);
}

std::vector<pid_t> ChildProcess::threads() const {
  std::vector<pid_t> found;
  std::string path = "/proc/" + std::to_string(pid_) + "/task";
  if (DIR* directory = opendir(path.c_str())) {
    while (dirent* entry = readdir(directory)) {
      if (entry->d_name[0] != '.') {
        found.push_back(static_cast<pid_t>(std::stol(entry->d_name)));
      }
    }
    closedir(directory);
  }
  return found;
}

double ChildProcess::cpuNanoseconds() const {
  double total = 0;
  for (pid_t thread : threads()) {
    std::ifstream schedstat("/proc/" + std::to_string(pid_) + "/task/" + std::to_string(thread) + "/schedstat");
    double running = -1;
    if (!(schedstat >> running)) {
      return cpuTicks() * 1e9 / static_cast<double>(sysconf(_SC_CLK_TCK));
    }
    total += running;
  }
  return total;
}

// Fields 14 and 15 of /proc/PID/stat, after the parenthesised name, which
// may hold spaces.
long ChildProcess::cpuTicks() const {
  std::ifstream stat("/proc/" + std::to_string(pid_) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  std::size_t close = text.rfind(')');
  if (close == std::string::npos) {
    return -1;
  }
  std::istringstream fields(text.substr(close + 2));
  std::string field;
  long user = 0, system = 0;
  for (int index = 3; index <= 15 && fields >> field; ++index) {
    if (index == 14) {
      user = std::stol(field);
    } else if (index == 15) {
      system = std::stol(field);
    }
  }
  return user + system;
}

long ChildProcess::contextSwitches() const {
  long total = 0;
  for (pid_t thread : threads()) {
    std::ifstream status("/proc/" + std::to_string(pid_) + "/task/" + std::to_string(thread) + "/status");
    std::string line;
    while (std::getline(status, line)) {
      if (line.rfind("voluntary_ctxt_switches:", 0) == 0 || line.rfind("nonvoluntary_ctxt_switches:", 0) == 0) {
        total += std::stol(line.substr(line.find(':') + 1));
      }
    }
  }
  return total;
}

long ChildProcess::statusKiB(const char* field) const {
  std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
  std::string line;
  std::string prefix = std::string(field) + ":";
  while (std::getline(status, line)) {
    if (line.rfind(prefix, 0) == 0) {
      return std::stol(line.substr(prefix.size()));
    }
  }
  return -1;
}

}  // namespace desktoptiming
