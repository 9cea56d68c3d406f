// The pieces of an element path such as "system/launcher/folder:1": the
// bounded splits that XMLManager::findElement runs over its 256-character
// buffers. Every function here writes at most 255 characters and the
// terminator into a buffer, whatever the input.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lib {
namespace xerces {

// Size of each text buffer of a path lookup: 255 characters and the
// terminator.
const std::size_t kPathBufferSize = 256;

typedef char PathBuffer[kPathBufferSize];

// Copies `path` into `work`. A path of 256 characters or more does not fit:
// `work` is left empty and the result is false.
bool copyPath(PathBuffer& work, const char* path);

// Splits like sscanf(text, "%[^/]/%s", segment, remainder): `segment` gets
// everything before the first "/" (empty when the text starts with one);
// `remainder` gets the first word after that "/", white space skipped and
// ending at the next white space, or stays empty.
void splitAtSlash(const char* text, PathBuffer& segment, PathBuffer& remainder);

// Splits like sscanf(text, "%[^:]:%d", name, &index): `name` gets everything
// before the first ":"; `index` gets the signed decimal number after it, or
// keeps its value when no digits follow. A number beyond 32 bits is clamped
// to the nearest 32-bit value instead of wrapping.
void splitAtColon(const char* text, PathBuffer& name, std::int32_t& index);

}  // namespace xerces
}  // namespace lib
