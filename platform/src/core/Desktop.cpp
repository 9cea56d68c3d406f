// The one desktop of the process.
#include "core/Desktop.h"

#include "hosts/scripted/ScriptedHost.h"
#include "core/Surface.h"

#include <algorithm>
#include <chrono>
#include <cstdint>

namespace platform {

namespace {

const std::uintptr_t kProgramModule = 0x400000;
const std::uintptr_t kFirstForeignModule = 0x70000000;
const std::uintptr_t kModuleStep = 0x10000;

std::unique_ptr<Desktop>& desktopSlot() {
  static std::unique_ptr<Desktop> desktop;
  return desktop;
}

}  // namespace

Desktop::Desktop() : commandLine(u"program.exe"), host(new ScriptedHost) { queues[kThisProgram]; }

Desktop::~Desktop() = default;

Desktop& theDesktop() {
  std::unique_ptr<Desktop>& slot = desktopSlot();
  if (!slot) {
    slot.reset(new Desktop);
  }
  return *slot;
}

HINSTANCE programModule() { return reinterpret_cast<HINSTANCE>(kProgramModule); }

HINSTANCE newForeignModule() {
  static std::uintptr_t next = kFirstForeignModule;
  std::uintptr_t value = next;
  next += kModuleStep;
  return reinterpret_cast<HINSTANCE>(value);
}

Window* findWindowRecord(HWND window) { return theDesktop().handles.find<Window>(window); }

int farEdge(int start, int extent) {
  std::int64_t edge = std::int64_t{start} + std::max(extent, 0);
  return static_cast<int>(std::min<std::int64_t>(edge, INT32_MAX));
}

MessageQueue& runningQueue() {
  Desktop& desktop = theDesktop();
  return desktop.queues[desktop.runningProgram];
}

DWORD messageTime() {
  static const auto start = std::chrono::steady_clock::now();
  auto elapsed = std::chrono::steady_clock::now() - start;
  return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

ProgramScope::ProgramScope(ProgramId program) : previous_(theDesktop().runningProgram) {
  theDesktop().runningProgram = program;
}

ProgramScope::~ProgramScope() { theDesktop().runningProgram = previous_; }

void installHost(std::unique_ptr<Host> host) {
  if (host) {
    theDesktop().host = std::move(host);
  }
}

const char* waitPlaceName(WaitPlace place) {
  switch (place) {
    case WaitPlace::getMessage:
      return "GetMessageA";
    case WaitPlace::messageBox:
      return "MessageBoxA";
    case WaitPlace::popupMenu:
      return "TrackPopupMenu";
  }
  return "an unknown call";
}

namespace desktop {

void reset() { desktopSlot().reset(new Desktop); }

}  // namespace desktop

}  // namespace platform
