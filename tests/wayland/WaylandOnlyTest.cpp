// What only the Wayland desktop has: outputs the compositor places side by
// side, and the choice between the program's hosts.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

#include "WaylandDesktop.h"
#include "scenarios/ProgramOnDesktop.h"
#include "support/PictureFile.h"

namespace {

using desktoptest::waitUntil;

class WaylandProgram : public desktoptest::ProgramOnDesktop {
 protected:
  waylandtest::WaylandDesktop& wayland() { return static_cast<waylandtest::WaylandDesktop&>(*host_); }

  // The second line of `tessaline --version` with these variables set.
  std::string hostLine(const std::vector<std::pair<const char*, std::string>>& variables) {
    for (const auto& variable : variables) {
      setenv(variable.first, variable.second.c_str(), 1);
    }
    int status = 0;
    exitStatusOf(launch("version.txt", {"--version"}), status);
    for (const auto& variable : variables) {
      unsetenv(variable.first);
    }
    std::ifstream version("version.txt");
    std::string line;
    std::getline(version, line);
    std::getline(version, line);
    return line;
  }
};

// A picture placed on the output right of the first shows there.
TEST_F(WaylandProgram, APictureOnTheSecondOutputShowsThere) {
  if (wayland().outputs().size() < 2) {
    wayland().addOutput();
  }
  desktoptest::Rectangle second = wayland().outputs()[1];
  testsupport::writeSolidPng("square.png", 80, 80, 0xFF00FF00);
  writeSettings("<image x=\"" + std::to_string(second.x + 100) + "\" y=\"" + std::to_string(second.y + 100) +
                "\" path=\"square.png\"/>");
  start();

  EXPECT_TRUE(comesToShow(second.x + 140, second.y + 140, 0xFF00FF00u))
      << "expected the picture on the output at " << second.x << ", " << second.y;
}

// A private X server of the test's own, for the X11 host to choose.
class PrivateXServer {
 public:
  PrivateXServer() {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
      return;
    }
    if ((pid_ = fork()) == 0) {
      close(pipeEnds[0]);
      std::string descriptor = std::to_string(pipeEnds[1]);
      execlp("Xvfb", "Xvfb", "-displayfd", descriptor.c_str(), "-nolisten", "tcp", "-screen", "0", "640x480x24",
             static_cast<char*>(nullptr));
      _exit(127);
    }
    close(pipeEnds[1]);
    char number[16] = {};
    if (read(pipeEnds[0], number, sizeof number - 1) > 0) {
      display_ = ":" + std::to_string(std::atoi(number));
    }
    close(pipeEnds[0]);
  }
  ~PrivateXServer() {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  const std::string& display() const { return display_; }

 private:
  pid_t pid_ = 0;
  std::string display_;
};

// The compositor has layer-shell: Wayland; told to, the X11 host on an X
// server even where Wayland could show it.
TEST_F(WaylandProgram, TheHostIsChosenByTheDesktopOrByTessalineBackend) {
  PrivateXServer xServer;
  ASSERT_FALSE(xServer.display().empty()) << "expected Xvfb to start";
  const struct {
    const char* how;
    std::vector<std::pair<const char*, std::string>> variables;
    const char* host;
  } choices[] = {
      {"layer-shell present", {}, "host: wayland"},
      {"TESSALINE_BACKEND=wayland", {{"TESSALINE_BACKEND", "wayland"}}, "host: wayland"},
      {"TESSALINE_BACKEND=x11 on an X server", {{"TESSALINE_BACKEND", "x11"}, {"DISPLAY", xServer.display()}},
       "host: x11"},
      {"no desktop at all", {{"WAYLAND_DISPLAY", "wayland-none"}}, "host: none"},
  };
  for (const auto& choice : choices) {
    EXPECT_EQ(choice.host, hostLine(choice.variables)) << choice.how;
  }
}

}  // namespace
