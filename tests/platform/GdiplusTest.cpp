// GDI+ pictures and attributes as the program makes them: start-up first,
// pictures from files with their size, the statuses of what cannot be
// made, and GetLastStatus, which forgets what it reports.
#include "GdiplusFixture.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace conformance {
namespace {

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

class GdiplusTest : public GdiplusFixture {};

// Windows answers InvalidParameter for any file it cannot read.
Status unreadableFileStatus() { return runningOnWine() ? GenericError : InvalidParameter; }
const char* wineUnreadable() { return runningOnWine() ? " (Wine answers GenericError for them all)" : ""; }

TEST_F(GdiplusTest, NothingIsMadeBeforeStartUp) {
  std::basic_string<WCHAR> picture = pathOf("picture.png", &kTwoByTwoPng);
  stopGdiplus();
  if (runningOnWine()) {
    GTEST_SKIP() << "Wine: GDI+ works without GdiplusStartup";
  }
  GpBitmap* bitmap = NULL;
  GpImageAttributes* attributes = NULL;
  EXPECT_TRUE(GdipAlloc(16) == NULL);
  EXPECT_EQ(GdiplusNotInitialized, GdipCreateBitmapFromFile(picture.c_str(), &bitmap));
  EXPECT_EQ(GdiplusNotInitialized, GdipCreateBitmapFromFile(NULL, NULL)) << "before the arguments";
  EXPECT_EQ(GdiplusNotInitialized, GdipCreateImageAttributes(&attributes));
  EXPECT_EQ(GdiplusNotInitialized, GdipCreateFromHDC(NULL, NULL));
  EXPECT_TRUE(bitmap == NULL && attributes == NULL);
}

TEST_F(GdiplusTest, APictureFromAPngFileHasItsSize) {
  for (BOOL useEmbeddedColorManagement : {FALSE, TRUE}) {
    Bitmap rgba(pathOf("rgba.png", &kTwoByTwoPng).c_str(), useEmbeddedColorManagement);
    Bitmap rgb(pathOf("rgb.png", &kThreeByTwoRgbPng).c_str(), useEmbeddedColorManagement);
    EXPECT_EQ(Ok, rgba.GetLastStatus());
    EXPECT_EQ(Ok, rgb.GetLastStatus());
    EXPECT_EQ(2u, rgba.GetWidth());
    EXPECT_EQ(3u, rgb.GetWidth());
    EXPECT_EQ(2u, rgb.GetHeight());
    EXPECT_EQ(Ok, rgb.GetLastStatus()) << "colour management " << useEmbeddedColorManagement;
  }
}

TEST_F(GdiplusTest, AFileThatIsNoPictureFailsAndGetLastStatusSaysSoOnce) {
  const std::vector<unsigned char> truncated(kTwoByTwoPng.begin(), kTwoByTwoPng.begin() + 50);
  const std::vector<unsigned char> text = {'n', 'o', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e'};
  const std::vector<unsigned char> empty;
  std::filesystem::create_directory(directory_ / "folder.png");
  std::vector<std::pair<const char*, std::basic_string<WCHAR>>> cases = {
      {"a missing file", pathOf("missing.png")},         {"a directory", pathOf("folder.png")},
      {"a text file", pathOf("text.png", &text)},        {"a truncated PNG", pathOf("truncated.png", &truncated)},
      {"an empty file", pathOf("empty.png", &empty)},
  };
#ifndef _WIN32
  // Reading either would never end.
  mkfifo((directory_ / "fifo.png").string().c_str(), 0600);
  cases.push_back({"a FIFO", pathOf("fifo.png")});
  cases.push_back({"a device", std::basic_string<WCHAR>(u"/dev/zero")});
#endif
  for (const auto& [what, path] : cases) {
    GpBitmap* bitmap = reinterpret_cast<GpBitmap*>(1);
    EXPECT_EQ(unreadableFileStatus(), GdipCreateBitmapFromFile(path.c_str(), &bitmap)) << what << wineUnreadable();
    EXPECT_TRUE(bitmap == NULL) << what << ": the result is cleared";
    Bitmap picture(path.c_str());
    EXPECT_EQ(unreadableFileStatus(), picture.GetLastStatus()) << what << wineUnreadable();
    EXPECT_EQ(Ok, picture.GetLastStatus()) << what << ": the second call";
    EXPECT_EQ(0u, picture.GetWidth()) << what << ": no size";
    EXPECT_EQ(InvalidParameter, picture.GetLastStatus()) << what << ": GetWidth of a picture that failed";
  }
}

#define CALL(call, expected) \
  { #call, call, expected }

TEST_F(GdiplusTest, NullArgumentsAreRefused) {
  std::basic_string<WCHAR> path = pathOf("picture.png", &kTwoByTwoPng);
  GpBitmap* bitmap = NULL;
  GpImageAttributes* attributes = NULL;
  ASSERT_EQ(Ok, GdipCreateBitmapFromFile(path.c_str(), &bitmap));
  ASSERT_EQ(Ok, GdipCreateImageAttributes(&attributes));
  const ColorMatrix identity = {{{1, 0, 0, 0, 0}, {0, 1, 0, 0, 0}, {0, 0, 1, 0, 0}, {0, 0, 0, 1, 0}, {0, 0, 0, 0, 1}}};
  const ColorAdjustType normal = ColorAdjustTypeDefault;
  UINT size = 0;
  GpBitmap* untouched = reinterpret_cast<GpBitmap*>(1);
  GpGraphics* graphics = NULL;
  const struct {
    const char* call;
    Status status;
    Status expected;
  } cases[] = {
      CALL(GdipCreateBitmapFromFile(NULL, &untouched), InvalidParameter),
      CALL(GdipCreateBitmapFromFile(path.c_str(), NULL), InvalidParameter),
      CALL(GdipGetImageWidth(NULL, &size), InvalidParameter),
      CALL(GdipGetImageHeight(bitmap, NULL), InvalidParameter),
      CALL(GdipDisposeImage(NULL), InvalidParameter),
      CALL(GdipCreateImageAttributes(NULL), InvalidParameter),
      CALL(GdipSetImageAttributesColorMatrix(NULL, normal, TRUE, &identity, NULL, ColorMatrixFlagsDefault),
           InvalidParameter),
      CALL(GdipSetImageAttributesColorMatrix(attributes, normal, TRUE, NULL, NULL, ColorMatrixFlagsDefault),
           InvalidParameter),
      CALL(GdipSetImageAttributesColorMatrix(attributes, ColorAdjustTypeCount, TRUE, &identity, NULL,
                                             ColorMatrixFlagsDefault),
           InvalidParameter),
      CALL(GdipSetImageAttributesColorMatrix(attributes, normal, TRUE, &identity, NULL, ColorMatrixFlagsAltGray),
           InvalidParameter),
      CALL(GdipSetImageAttributesColorMatrix(attributes, normal, TRUE, &identity, NULL, ColorMatrixFlagsDefault), Ok),
      CALL(GdipDisposeImageAttributes(NULL), InvalidParameter),
      CALL(GdipCreateFromHDC(NULL, &graphics), OutOfMemory),
      CALL(GdipDeleteGraphics(NULL), InvalidParameter),
      CALL(GdipDrawImageRectRectI(NULL, bitmap, 0, 0, 1, 1, 0, 0, 1, 1, UnitPixel, NULL, NULL, NULL),
           InvalidParameter),
  };
  for (const auto& each : cases) {
    EXPECT_EQ(each.expected, each.status) << each.call;
  }
  EXPECT_TRUE(untouched == reinterpret_cast<GpBitmap*>(1)) << "a refused call leaves the result alone";
  EXPECT_EQ(Ok, GdipDisposeImageAttributes(attributes));
  EXPECT_EQ(Ok, GdipDisposeImage(bitmap));
}

}  // namespace
}  // namespace conformance
