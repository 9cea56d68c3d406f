#include "ScratchDirectory.h"

#include <windows.h>

#include <cstdio>

ScratchDirectory::ScratchDirectory() {
  char temporary[MAX_PATH];
  GetTempPathA(MAX_PATH, temporary);
  // Process id and a counter: unique within this run and across runs that
  // overlap in the same prefix.
  static unsigned counter = 0;
  char name[64];
  std::snprintf(name, sizeof name, "tessaline-%lu-%u", GetCurrentProcessId(), ++counter);
  path_ = std::string(temporary) + name;
  CreateDirectoryA(path_.c_str(), NULL);
}

// The scenarios make no subdirectories.
ScratchDirectory::~ScratchDirectory() {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((path_ + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        DeleteFileA((path_ + "\\" + found.cFileName).c_str());
      }
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(path_.c_str());
}

bool ScratchDirectory::writeFile(const std::string& name, const std::string& bytes) {
  std::string file = path_ + "\\" + name;
  HANDLE handle = CreateFileA(file.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (handle == INVALID_HANDLE_VALUE) {
    return false;
  }
  DWORD written = 0;
  BOOL wrote = WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, NULL);
  CloseHandle(handle);
  return wrote && written == bytes.size();
}

bool ScratchDirectory::copyFile(const std::string& source, const std::string& name) {
  return CopyFileA(source.c_str(), (path_ + "\\" + name).c_str(), FALSE) != FALSE;
}

bool ScratchDirectory::hasFile(const std::string& name) const {
  return GetFileAttributesA((path_ + "\\" + name).c_str()) != INVALID_FILE_ATTRIBUTES;
}
