// A program for the launcher menu's scenarios: run as NAME.exe, it writes
// NAME.ran next to itself, holding its own path, and exits. The directory
// is its executable's, not its current one, which the shell chooses.
//
// Exits with 0 when the file is written, 1 otherwise.
#include <windows.h>

#include <string>

namespace {

std::string ownPath() {
  char path[MAX_PATH] = "";
  DWORD length = GetModuleFileNameA(NULL, path, sizeof path);
  return length > 0 && length < sizeof path ? std::string(path, length) : std::string();
}

// The same path with ".ran" in place of the extension.
std::string markerPath(const std::string& program) {
  std::string::size_type separator = program.find_last_of("\\/");
  std::string::size_type dot = program.find_last_of('.');
  bool hasExtension = dot != std::string::npos && (separator == std::string::npos || dot > separator);
  return (hasExtension ? program.substr(0, dot) : program) + ".ran";
}

bool writeFile(const std::string& file, const std::string& bytes) {
  HANDLE handle = CreateFileA(file.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (handle == INVALID_HANDLE_VALUE) {
    return false;
  }
  DWORD written = 0;
  BOOL wrote = WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, NULL);
  BOOL closed = CloseHandle(handle);
  return wrote && closed && written == bytes.size();
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  std::string program = ownPath();
  return !program.empty() && writeFile(markerPath(program), program) ? 0 : 1;
}
