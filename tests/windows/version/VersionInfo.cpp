// Prints the version information of a Windows program as Explorer's
// Properties page gets it, through GetFileVersionInfoA:
//
//   version_info FILE.exe
//
// One line each: "file 2.0.0.0", "product 2.0.0.0" (the fixed numbers),
// then NAME=VALUE for the U.S. English strings. Exits with 1 when the file
// has no version information, 2 on a usage error.
#include <windows.h>

#include <cstdio>
#include <vector>

namespace {

const char* const kStrings[] = {"ProductName", "ProductVersion", "FileVersion", "FileDescription",
                                "OriginalFilename"};

void printNumbers(const char* label, DWORD high, DWORD low) {
  std::printf("%s %lu.%lu.%lu.%lu\n", label, static_cast<unsigned long>(HIWORD(high)),
              static_cast<unsigned long>(LOWORD(high)), static_cast<unsigned long>(HIWORD(low)),
              static_cast<unsigned long>(LOWORD(low)));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: version_info FILE.exe\n");
    return 2;
  }
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeA(argv[1], &handle);
  std::vector<char> data(size);
  if (size == 0 || !GetFileVersionInfoA(argv[1], 0, size, data.data())) {
    std::fprintf(stderr, "version_info: no version information in %s (error %lu)\n", argv[1],
                 static_cast<unsigned long>(GetLastError()));
    return 1;
  }
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length) || length < sizeof *fixed) {
    std::fprintf(stderr, "version_info: no fixed file information in %s\n", argv[1]);
    return 1;
  }
  printNumbers("file", fixed->dwFileVersionMS, fixed->dwFileVersionLS);
  printNumbers("product", fixed->dwProductVersionMS, fixed->dwProductVersionLS);
  for (const char* name : kStrings) {
    char query[128];
    std::snprintf(query, sizeof query, "\\StringFileInfo\\040904B0\\%s", name);
    char* value = nullptr;
    if (VerQueryValueA(data.data(), query, reinterpret_cast<void**>(&value), &length) && value) {
      std::printf("%s=%s\n", name, value);
    }
  }
  return 0;
}
