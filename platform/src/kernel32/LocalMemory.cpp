#include "kernel32/LocalMemory.h"

#include <windows.h>

#include <cstdlib>
#include <set>

namespace platform {

namespace {

// The blocks handed out and not yet freed, so that LocalFree can refuse a
// pointer that is not one of them instead of corrupting the heap. They belong
// to the process, not to the desktop, and outlive desktop::reset().
std::set<void*>& liveBlocks() {
  static std::set<void*> blocks;
  return blocks;
}

}  // namespace

void* localAllocate(std::size_t size) {
  void* block = std::malloc(size == 0 ? 1 : size);
  if (!block) {
    return nullptr;
  }
  liveBlocks().insert(block);
  return block;
}

}  // namespace platform

extern "C" HLOCAL WINAPI LocalFree(HLOCAL memory) {
  if (!memory) {
    return NULL;
  }
  std::set<void*>& blocks = platform::liveBlocks();
  auto found = blocks.find(memory);
  if (found == blocks.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return memory;
  }
  blocks.erase(found);
  std::free(memory);
  return NULL;
}
