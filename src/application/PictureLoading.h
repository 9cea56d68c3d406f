// Loading a picture file named by the settings, as the picture windows do
// it: the settings checker loads through here too, so it fails exactly where
// a picture window would show its failure box.
#pragma once

#include <windows.h>
#include <gdiplus.h>

// The longest path, in UTF-16 characters, that the conversion buffer holds.
const int kLongestPicturePath = 255;

// The path as UTF-16 in `wide`; false for a null path or one that does not
// fit, which must make the load fail rather than open a shortened path that
// names another file.
bool widenPicturePath(const char* path, WCHAR (&wide)[kLongestPicturePath + 1]);

// The picture at `path` (ANSI code page, relative to the current
// directory), never null; its GetLastStatus is Ok only when it loaded. A
// path that widenPicturePath refuses loads as an empty path, which fails.
Gdiplus::Bitmap* loadPicture(const char* path);
