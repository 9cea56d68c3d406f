// The one desktop of the process and the handles it gives out.
#include "Desktop.h"

#include "ScriptedHost.h"

namespace platform {

namespace {

// Handle values start well above zero and step by four, as Win32's do, so
// that no handle is mistaken for a small integer or a resource id.
const std::uintptr_t kFirstHandleValue = 0x10000;
const std::uintptr_t kHandleStep = 4;
const std::uintptr_t kProgramModule = 0x400000;
const std::uintptr_t kFirstForeignModule = 0x70000000;
const std::uintptr_t kModuleStep = 0x10000;

std::unique_ptr<Desktop>& desktopSlot() {
  static std::unique_ptr<Desktop> desktop;
  return desktop;
}

}  // namespace

Desktop::Desktop() : commandLine(u"program.exe"), host(new ScriptedHost) {}

Desktop::~Desktop() = default;

Desktop& theDesktop() {
  std::unique_ptr<Desktop>& slot = desktopSlot();
  if (!slot) {
    slot.reset(new Desktop);
  }
  return *slot;
}

std::uintptr_t newHandleValue() {
  static std::uintptr_t next = kFirstHandleValue;
  std::uintptr_t value = next;
  next += kHandleStep;
  return value;
}

HINSTANCE programModule() { return reinterpret_cast<HINSTANCE>(kProgramModule); }

HINSTANCE newForeignModule() {
  static std::uintptr_t next = kFirstForeignModule;
  std::uintptr_t value = next;
  next += kModuleStep;
  return reinterpret_cast<HINSTANCE>(value);
}

Window* findWindowRecord(HWND window) {
  Desktop& desktop = theDesktop();
  auto found = desktop.windows.find(window);
  return found == desktop.windows.end() ? nullptr : found->second.get();
}

namespace desktop {

void reset() { desktopSlot().reset(new Desktop); }

}  // namespace desktop

}  // namespace platform
