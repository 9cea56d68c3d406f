// The fixture of the GDI+ tests: GDI+ started for each test and shut down
// after it, and a directory of the test's own for its picture files.
#pragma once

#include "Win32Test.h"

#include <gdiplus.h>

#include <random>

#include "TestPictures.h"

namespace conformance {

class GdiplusFixture : public Win32Test {
 protected:
  void SetUp() override {
    Win32Test::SetUp();
    Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::Ok, Gdiplus::GdiplusStartup(&token_, &input, NULL));
    // Tests run in parallel processes: each takes a directory no other has.
    std::random_device random;
    do {
      directory_ = std::filesystem::temp_directory_path() / ("tessaline-gdiplus-" + std::to_string(random()));
    } while (!std::filesystem::create_directory(directory_));
  }

  void TearDown() override {
    stopGdiplus();
    std::error_code ignored;
    std::filesystem::remove_all(directory_, ignored);
    Win32Test::TearDown();
  }

  void stopGdiplus() {
    if (token_) {
      Gdiplus::GdiplusShutdown(token_);
      token_ = 0;
    }
  }

  // The path of a file in the test's directory, written first when bytes are given.
  std::basic_string<WCHAR> pathOf(const char* name, const std::vector<unsigned char>* bytes = nullptr) {
    if (bytes) {
      writeFile(directory_ / name, *bytes);
    }
    return widePath(directory_ / name);
  }

  std::filesystem::path directory_;

 private:
  ULONG_PTR token_ = 0;
};

}  // namespace conformance
