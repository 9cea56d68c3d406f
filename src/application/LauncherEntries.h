// What the launcher makes of its folder and file elements: their captions,
// which files have something to open, and the limits of ids and depth. The
// menu and the settings checker both decide through here.
#pragma once

#include <cstdint>

#include "lib/xerces/XMLElement.h"

// Entries are numbered from the first id to the last in one run of the
// program; further files are left out.
const std::int32_t kFirstCommandId = 1000;
const std::int32_t kLastCommandId = 1999;

// Menus are built recursively, a level of the stack per folder; a settings
// file may nest folders far deeper than that stack (or a user's menu) can
// take, so a folder at this depth or below is left out (the launcher's own
// children are at depth 1).
const int kDeepestFolder = 64;

inline bool folderFits(int depth) { return depth < kDeepestFolder; }

// A folder's caption: its name, or "(folder)" without one.
const char* folderCaption(const lib::xerces::XMLElement& folder);

// What a file opens: its path, or null when it has none and is left out.
const char* fileTarget(const lib::xerces::XMLElement& file);

// A file's caption: its name, or its path without one.
const char* fileCaption(const lib::xerces::XMLElement& file);
