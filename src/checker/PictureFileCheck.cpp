#include "checker/PictureFileCheck.h"

#include <filesystem>
#include <memory>
#include <system_error>

#include "application/PictureLoading.h"
#include "checker/ElementPlaces.h"

namespace checker {

namespace {

// UTF-16 characters the path takes, without the terminator.
int widePathLength(const char* path) { return MultiByteToWideChar(CP_ACP, 0, path, -1, NULL, 0) - 1; }

// Why GDI+ refused the file: it answers InvalidParameter for a missing file,
// a directory and a file that is no picture alike, so the file itself is
// looked at to say which.
std::string refusal(const char* path, const WCHAR* widePath, Gdiplus::Status status) {
  if (status == Gdiplus::OutOfMemory) {
    return quoted(path) + " is larger than any picture surface";
  }
  if (path[0] == '\0') {
    return "the path is empty";
  }
  std::filesystem::path file{std::basic_string<WCHAR>(widePath)};
  std::error_code error;
  if (!std::filesystem::exists(file, error)) {
    return "no file " + quoted(path);
  }
  if (std::filesystem::is_directory(file, error)) {
    return quoted(path) + " is a directory";
  }
  return quoted(path) + " is not a picture the program can read";
}

}  // namespace

PictureFileCheck checkPictureFile(const char* path) {
  if (path == NULL) {
    return PictureFileCheck{std::nullopt, "no path"};
  }
  WCHAR widePath[kLongestPicturePath + 1];
  if (!widenPicturePath(path, widePath)) {
    int length = widePathLength(path);
    return PictureFileCheck{std::nullopt, length > kLongestPicturePath
                                              ? "a path of " + std::to_string(length) +
                                                    " characters, beyond the program's buffer of " +
                                                    std::to_string(kLongestPicturePath)
                                              : "a path that is no text in the system's code page"};
  }
  std::unique_ptr<Gdiplus::Bitmap> picture(loadPicture(path));
  Gdiplus::Status status = picture->GetLastStatus();
  if (status != Gdiplus::Ok) {
    return PictureFileCheck{std::nullopt, refusal(path, widePath, status)};
  }
  return PictureFileCheck{PictureSize{picture->GetWidth(), picture->GetHeight()}, ""};
}

}  // namespace checker
