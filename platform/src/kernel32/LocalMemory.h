// Memory blocks that the caller frees with LocalFree, as Win32 hands out
// for CommandLineToArgvW's result.
#pragma once

#include <cstddef>

namespace platform {

// A block of `size` bytes; null when memory is short.
void* localAllocate(std::size_t size);

}  // namespace platform
