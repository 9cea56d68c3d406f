// The fixture of the Linux program's cases on a real desktop, whichever
// host shows it: it starts the program in a directory of its own, works
// its menus through the tray, the pointer and the keyboard, and reads what
// the screen shows.
#pragma once

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "HostDesktop.h"
#include "support/TemporaryDirectory.h"

namespace desktoptest {

const char kSystemMenuCommands[][8] = {"TopMost", "Hide", "Reload", "About", "Exit"};

// How many Down keys reach an item of the system menu ("TopMost", "Hide",
// separator, "Reload", separator, "About", "Exit"): separators are skipped.
inline int downsTo(const std::string& item) {
  for (int index = 0; index < 5; ++index) {
    if (item == kSystemMenuCommands[index]) {
      return index + 1;
    }
  }
  return 0;
}

class ProgramOnDesktop : public ::testing::Test {
 protected:
  // They take the pointer and keyboard of the desktop: only on the private
  // one the harness's script makes.
  void SetUp() override {
    std::string whyNot;
    host_ = openHostDesktop(whyNot);
    if (!host_) {
      GTEST_SKIP() << whyNot;
    }
  }

  // Every copy a case started ends with it, however the case went.
  void TearDown() override {
    for (pid_t copy : launched_) {
      if (kill(copy, SIGKILL) == 0) {
        waitpid(copy, nullptr, 0);
      }
    }
  }

  void writeSettings(const std::string& body) { std::ofstream("config.xml") << "<system>" << body << "</system>\n"; }

  // Starts the program in the test's directory, its standard error into
  // that file where one is named, with these arguments.
  pid_t launch(const char* errorFile = nullptr, const std::vector<std::string>& arguments = {}) {
    pid_t pid = fork();
    if (pid == 0) {
      if (errorFile) {
        int error = open(errorFile, O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(error, STDERR_FILENO);
        dup2(error, STDOUT_FILENO);
      }
      std::vector<char*> argv{const_cast<char*>(TESSALINE_PROGRAM)};
      for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
      }
      argv.push_back(nullptr);
      execv(TESSALINE_PROGRAM, argv.data());
      _exit(127);
    }
    launched_.push_back(pid);
    return pid;
  }

  // Starts it and waits for its tray icon.
  void start() {
    pid_ = launch();
    ASSERT_TRUE(waitUntil([&] { return host_->trayIconShown(pid_); })) << "expected the tray icon, got none";
  }

  void chooseByKeyboard(int downs) {
    for (int press = 0; press < downs; ++press) {
      host_->key("Down");
    }
    host_->key("Return");
  }

  void chooseFromSystemMenu(const std::string& item) {
    ASSERT_TRUE(host_->openTrayMenu(pid_, 3)) << "expected the system menu after a right click on the tray icon";
    host_->chooseInMenu(downsTo(item));
  }

  std::uint32_t pixelAt(int x, int y) { return host_->pixels(Rectangle{x, y, 1, 1})[0]; }

  // Surfaces are painted a moment after they are shown: wait for the colour
  // (or, with `shown` false, for any other).
  ::testing::AssertionResult comesToShow(int x, int y, std::uint32_t colour, bool shown = true) {
    if (waitUntil([&] { return (pixelAt(x, y) == colour) == shown; })) {
      return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "at (" << x << ", " << y << ") expected " << (shown ? "" : "other than ")
                                         << hex(colour) << ", got " << hex(pixelAt(x, y));
  }

  static std::string hex(std::uint32_t colour) {
    char text[12];
    std::snprintf(text, sizeof text, "0x%08X", colour);
    return text;
  }

  bool running() { return waitpid(pid_, &status_, WNOHANG) == 0; }

  // The exit status once the program has ended (255 for -1); -1000 when it
  // does not.
  int exitStatus() { return exitStatusOf(pid_, status_); }

  static int exitStatusOf(pid_t pid, int& status) {
    if (!waitUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; })) {
      return -1000;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
  }

  testsupport::TemporaryDirectory directory_{"desktop"};
  std::unique_ptr<HostDesktop> host_;
  pid_t pid_ = 0;
  int status_ = 0;
  std::vector<pid_t> launched_;
};

}  // namespace desktoptest
