#include "application/PictureLoading.h"

namespace {

const WCHAR kNoPath[] = {0};

}  // namespace

bool widenPicturePath(const char* path, WCHAR (&wide)[kLongestPicturePath + 1]) {
  return path != NULL && MultiByteToWideChar(CP_ACP, 0, path, -1, wide, kLongestPicturePath + 1) != 0;
}

Gdiplus::Bitmap* loadPicture(const char* path) {
  WCHAR widePath[kLongestPicturePath + 1];
  return new Gdiplus::Bitmap(widenPicturePath(path, widePath) ? widePath : kNoPath, FALSE);
}
