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

ScratchDirectory::~ScratchDirectory() {
  for (const std::string& file : files_) {
    DeleteFileA(file.c_str());
  }
  RemoveDirectoryA(path_.c_str());
}

bool ScratchDirectory::writeFile(const std::string& name, const std::string& bytes) {
  std::string file = path_ + "\\" + name;
  HANDLE handle = CreateFileA(file.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (handle == INVALID_HANDLE_VALUE) {
    return false;
  }
  files_.push_back(file);
  DWORD written = 0;
  BOOL wrote = WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, NULL);
  CloseHandle(handle);
  return wrote && written == bytes.size();
}
