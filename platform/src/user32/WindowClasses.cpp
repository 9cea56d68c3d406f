// user32's class registration: RegisterClassExA, UnregisterClassA,
// GetClassInfoExA.
#include "user32/WindowClasses.h"

#include "core/Text.h"

#include <algorithm>
#include <cstring>

namespace {

// Class names are atoms, which hold at most 255 characters.
const std::size_t kLongestClassName = 255;
// Registered classes get atoms from the range Win32 uses for them.
const ATOM kFirstClassAtom = 0xC000;

HINSTANCE moduleOrProgram(HINSTANCE module) { return module ? module : platform::programModule(); }

ATOM newClassAtom() {
  static unsigned next = kFirstClassAtom;
  if (next > 0xFFFF) {
    next = kFirstClassAtom;  // atoms are 16-bit; after 16384 registrations the range starts over
  }
  return static_cast<ATOM>(next++);
}

// `name` is the caller's text, `lowercaseName` the same in lower case, made
// once for a whole lookup (empty for an atom): a program may register
// thousands of classes.
bool matches(const platform::WindowClass& windowClass, HINSTANCE module, LPCSTR name,
             const std::string& lowercaseName) {
  if (windowClass.module != module) {
    return false;
  }
  if (IS_INTRESOURCE(name)) {
    return windowClass.atom == static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(name));
  }
  return windowClass.lowercaseName == lowercaseName;
}

bool hasWindows(const platform::WindowClass& windowClass) {
  for (HWND handle : platform::theDesktop().zOrder) {
    const platform::Window& window = *platform::findWindowRecord(handle);
    if (window.classModule == windowClass.module && platform::equalsIgnoringCase(window.className, windowClass.name)) {
      return true;
    }
  }
  return false;
}

bool isValidClassName(LPCSTR name) {
  return name && !IS_INTRESOURCE(name) && name[0] != '\0' && std::strlen(name) <= kLongestClassName;
}

}  // namespace

namespace platform {

WindowClass* findWindowClass(HINSTANCE module, LPCSTR name) {
  if (!name) {
    return nullptr;
  }
  HINSTANCE owner = moduleOrProgram(module);
  const std::string lowercaseName = IS_INTRESOURCE(name) ? std::string() : lowercase(name);
  for (WindowClass& windowClass : theDesktop().classes) {
    if (matches(windowClass, owner, name, lowercaseName)) {
      return &windowClass;
    }
  }
  return nullptr;
}

namespace desktop {

bool isClassRegistered(const char* className, HINSTANCE instance) {
  return findWindowClass(instance, className) != nullptr;
}

}  // namespace desktop

}  // namespace platform

extern "C" {

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* windowClass) {
  if (!windowClass || windowClass->cbSize != sizeof(WNDCLASSEXA) || windowClass->cbClsExtra < 0 ||
      windowClass->cbWndExtra < 0 || !isValidClassName(windowClass->lpszClassName)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  HINSTANCE module = moduleOrProgram(windowClass->hInstance);
  if (platform::findWindowClass(module, windowClass->lpszClassName)) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return 0;
  }
  platform::Desktop& desktop = platform::theDesktop();
  desktop.classes.push_back(platform::WindowClass());
  platform::WindowClass& registered = desktop.classes.back();
  registered.name = windowClass->lpszClassName;
  registered.lowercaseName = platform::lowercase(registered.name);
  registered.module = module;
  registered.atom = newClassAtom();
  registered.record = *windowClass;
  registered.record.hInstance = module;
  registered.hasMenuName = windowClass->lpszMenuName && !IS_INTRESOURCE(windowClass->lpszMenuName);
  registered.menuName = registered.hasMenuName ? windowClass->lpszMenuName : "";
  // The caller's texts need not outlive the call; the record keeps copies.
  registered.record.lpszClassName = nullptr;
  if (registered.hasMenuName) {
    registered.record.lpszMenuName = nullptr;
  }
  return registered.atom;
}

BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE instance) {
  platform::WindowClass* windowClass = platform::findWindowClass(instance, className);
  if (!windowClass) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  if (hasWindows(*windowClass)) {
    SetLastError(ERROR_CLASS_HAS_WINDOWS);
    return FALSE;
  }
  std::vector<platform::WindowClass>& classes = platform::theDesktop().classes;
  classes.erase(classes.begin() + (windowClass - classes.data()));
  return TRUE;
}

// Returns the class atom, as Win32 does, and fills the record with the
// registered values; the name pointer is the caller's own.
BOOL WINAPI GetClassInfoExA(HINSTANCE instance, LPCSTR className, LPWNDCLASSEXA windowClass) {
  if (!windowClass) {
    SetLastError(ERROR_NOACCESS);
    return FALSE;
  }
  platform::WindowClass* found = platform::findWindowClass(instance, className);
  if (!found) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  UINT callerSize = windowClass->cbSize;
  *windowClass = found->record;
  windowClass->cbSize = callerSize;
  windowClass->lpszClassName = className;
  if (found->hasMenuName) {
    windowClass->lpszMenuName = found->menuName.c_str();
  }
  return found->atom;
}

}  // extern "C"
