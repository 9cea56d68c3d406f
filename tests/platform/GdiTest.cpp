// Device contexts and DIB sections (row order, SelectObject, deletion of
// objects in use, CreateDIBSection's failures, BitBlt), UpdateLayeredWindow,
// MoveWindow and GetClientRect.
#include "Win32Test.h"

#include <cstdint>
#include <string>

namespace conformance {
namespace {

class GdiTest : public Win32Test {
 protected:
  void SetUp() override {
    Win32Test::SetUp();
    ASSERT_NE(0, registerClass("ConformanceGdi"));
  }

  // A 32-bit BI_RGB DIB section; a negative height stores the top row first.
  static HBITMAP createDib(int width, int height, std::uint32_t** bits = nullptr) {
    BITMAPINFO info = {};
    info.bmiHeader = BITMAPINFOHEADER{sizeof info.bmiHeader, width, height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* memory = NULL;
    HBITMAP bitmap = CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &memory, NULL, 0);
    if (bits) {
      *bits = static_cast<std::uint32_t*>(memory);
    }
    return bitmap;
  }

  // "{left, top, right, bottom}" of the window's rectangle, or of its client
  // area, for comparisons that print well.
  static std::string windowRect(HWND window, BOOL(WINAPI* get)(HWND, LPRECT) = GetWindowRect) {
    RECT rect = {};
    get(window, &rect);
    return "{" + std::to_string(rect.left) + ", " + std::to_string(rect.top) + ", " + std::to_string(rect.right) +
           ", " + std::to_string(rect.bottom) + "}";
  }
  static std::string clientRect(HWND window) { return windowRect(window, GetClientRect); }

  HWND createPopup(DWORD exStyle) { return createWindow("ConformanceGdi", "popup", WS_POPUP, exStyle); }
};

TEST_F(GdiTest, ADibSectionStartsZeroedAndStoresItsRowsInTheOrderItsHeightSays) {
  struct Case {
    int height;
    int rowOfFirstStoredPixel;
  };
  const Case cases[] = {{2, 1}, {-2, 0}};  // bottom-up, top-down
  for (const Case& testCase : cases) {
    std::uint32_t* bits = nullptr;
    HBITMAP bitmap = createDib(3, testCase.height, &bits);
    ASSERT_TRUE(bitmap != NULL && bits != nullptr) << "height " << testCase.height;
    for (int index = 0; index < 6; ++index) {
      EXPECT_EQ(0u, bits[index]) << "pixel " << index << " of a new DIB section, height " << testCase.height;
    }
    bits[1] = 0xFF112233;
    HDC dc = CreateCompatibleDC(NULL);
    SelectObject(dc, bitmap);

    EXPECT_EQ(RGB(0x11, 0x22, 0x33), GetPixel(dc, 1, testCase.rowOfFirstStoredPixel)) << "height " << testCase.height;
    EXPECT_EQ(RGB(0, 0, 0), GetPixel(dc, 1, 1 - testCase.rowOfFirstStoredPixel)) << "height " << testCase.height;
    EXPECT_EQ(CLR_INVALID, GetPixel(dc, 3, 0)) << "outside the bitmap";
    DeleteDC(dc);
    DeleteObject(bitmap);
  }
}

TEST_F(GdiTest, SelectObjectGivesBackWhatWasSelectedAndABitmapIsInOneDCAtATime) {
  HDC dc = CreateCompatibleDC(NULL);
  HDC other = CreateCompatibleDC(NULL);
  HBITMAP first = createDib(1, 1);
  HBITMAP second = createDib(1, 1);
  ASSERT_TRUE(dc != NULL && other != NULL && first != NULL && second != NULL);
  EXPECT_EQ(RGB(0, 0, 0), GetPixel(dc, 0, 0)) << "a new memory DC has a 1 by 1 black bitmap";
  EXPECT_EQ(CLR_INVALID, GetPixel(dc, 1, 0));

  HGDIOBJ stock = SelectObject(dc, first);
  EXPECT_TRUE(stock != NULL && stock != first) << "expected the DC's stock bitmap";
  EXPECT_EQ(static_cast<HGDIOBJ>(first), SelectObject(dc, second));
  EXPECT_EQ(static_cast<HGDIOBJ>(second), SelectObject(dc, second)) << "selecting it again changes nothing";
  EXPECT_TRUE(SelectObject(other, second) == NULL) << "the bitmap is selected into another DC";
  EXPECT_EQ(static_cast<HGDIOBJ>(second), SelectObject(dc, stock));
  EXPECT_EQ(stock, SelectObject(other, second)) << "once out of its DC, another DC takes it";
  EXPECT_EQ(GetStockObject(WHITE_BRUSH), SelectObject(dc, GetStockObject(BLACK_BRUSH))) << "a DC's first brush";
  EXPECT_EQ(GetStockObject(BLACK_PEN), SelectObject(dc, GetStockObject(WHITE_PEN))) << "a DC's first pen";

  DeleteDC(dc);
  DeleteDC(other);
  DeleteObject(first);
  DeleteObject(second);
}

TEST_F(GdiTest, SelectObjectRefusesWhatIsNoGdiObjectOrDoesNotFitTheDCAndOnlyWindowDCsAreReleased) {
  HWND window = createPopup(0);
  HDC memory = CreateCompatibleDC(NULL);
  HDC screen = GetDC(NULL);
  HBITMAP bitmap = createDib(1, 1);
  HBITMAP deleted = createDib(1, 1);
  DeleteObject(deleted);
  struct Case {
    const char* what;
    HDC dc;
    HGDIOBJ object;
  };
  const Case cases[] = {{"a window handle", memory, window},
                        {"a null handle", memory, NULL},
                        {"a deleted bitmap", memory, deleted},
                        {"the default palette", memory, GetStockObject(DEFAULT_PALETTE)},
                        {"a bitmap into the screen DC", screen, bitmap},
                        {"a DC that is a window", reinterpret_cast<HDC>(window), bitmap}};
  for (const Case& testCase : cases) {
    EXPECT_TRUE(SelectObject(testCase.dc, testCase.object) == NULL) << testCase.what;
  }
  EXPECT_EQ(0, ReleaseDC(NULL, memory)) << "a memory DC is deleted, not released";
  EXPECT_EQ(1, ReleaseDC(NULL, screen));
  EXPECT_TRUE(DeleteDC(memory));
  DeleteObject(bitmap);
  SetLastError(0);
  EXPECT_TRUE(GetDC(reinterpret_cast<HWND>(memory)) == NULL);
  EXPECT_LAST_ERROR(ERROR_INVALID_WINDOW_HANDLE);
}

TEST_F(GdiTest, ABitmapDeletedWhileSelectedStaysUsableUntilItLeavesItsDC) {
  std::uint32_t* bits = nullptr;
  HBITMAP bitmap = createDib(1, 1, &bits);
  HDC dc = CreateCompatibleDC(NULL);
  HGDIOBJ stock = SelectObject(dc, bitmap);
  bits[0] = 0xFF0000FF;

  EXPECT_TRUE(DeleteObject(bitmap)) << "Windows and Wine succeed, whatever the documentation says";
  EXPECT_EQ(RGB(0, 0, 0xFF), GetPixel(dc, 0, 0)) << "the bitmap is still the DC's";
  EXPECT_EQ(static_cast<HGDIOBJ>(bitmap), SelectObject(dc, stock));
  EXPECT_FALSE(DeleteObject(bitmap)) << "it went when it left the DC";

  HBITMAP inDeletedDC = createDib(1, 1);
  SelectObject(dc, inDeletedDC);
  EXPECT_TRUE(DeleteObject(inDeletedDC));
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_FALSE(DeleteObject(inDeletedDC)) << "it went with its DC";
  EXPECT_FALSE(DeleteDC(dc)) << "a DC is deleted once";
  EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_BRUSH))) << "stock objects are never deleted";
  EXPECT_TRUE(GetStockObject(BLACK_BRUSH) != NULL);
}

TEST_F(GdiTest, CreateDibSectionFailsCleanlyForSizesAndHeadersItCannotMake) {
  struct Case {
    const char* what;
    LONG width;
    LONG height;
    WORD bitCount;
    DWORD compression;
    DWORD headerSize;
  };
  const DWORD header = sizeof(BITMAPINFOHEADER);
  const Case cases[] = {{"width 0", 0, 1, 32, BI_RGB, header},
                        {"a negative width", -1, 1, 32, BI_RGB, header},
                        {"height 0", 1, 0, 32, BI_RGB, header},
                        {"no bits per pixel", 1, 1, 0, BI_RGB, header},
                        {"an unknown compression", 1, 1, 32, 99, header},
                        {"a header too short", 1, 1, 32, BI_RGB, 8},
                        {"more memory than there is", 0x7FFFFFF, 0x7FFFFFF, 32, BI_RGB, header}};
  for (const Case& testCase : cases) {
    BITMAPINFO info = {};
    info.bmiHeader = BITMAPINFOHEADER{testCase.headerSize, testCase.width, testCase.height, 1, testCase.bitCount,
                                      testCase.compression, 0, 0, 0, 0, 0};
    void* bits = &info;
    EXPECT_TRUE(CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &bits, NULL, 0) == NULL) << testCase.what;
    EXPECT_TRUE(bits == NULL) << testCase.what << ": the bits pointer is cleared";
  }
}

TEST_F(GdiTest, BitBltCopiesThePixelsBothBitmapsHave) {
  std::uint32_t* sourceBits = nullptr;
  HBITMAP sourceBitmap = createDib(2, -2, &sourceBits);
  HBITMAP targetBitmap = createDib(3, -3);
  for (std::uint32_t index = 0; index < 4; ++index) {
    sourceBits[index] = 0xFF000001 + index;  // blue 1 to 4
  }
  HDC source = CreateCompatibleDC(NULL);
  HDC target = CreateCompatibleDC(NULL);
  SelectObject(source, sourceBitmap);
  SelectObject(target, targetBitmap);

  EXPECT_TRUE(BitBlt(target, 1, 1, 2, 2, source, 0, 0, SRCCOPY));
  EXPECT_TRUE(BitBlt(target, 0, 0, 2, 2, source, 1, 1, SRCCOPY | CAPTUREBLT)) << "only the source's (1, 1) exists";

  // The blue channel says which source pixel landed where; 0 is untouched.
  const BYTE expected[9] = {4, 0, 0, 0, 1, 2, 0, 3, 4};
  for (int index = 0; index < 9; ++index) {
    EXPECT_EQ(RGB(0, 0, expected[index]), GetPixel(target, index % 3, index / 3))
        << "pixel (" << index % 3 << ", " << index / 3 << ")";
  }
  DeleteDC(source);
  DeleteDC(target);
  DeleteObject(sourceBitmap);
  DeleteObject(targetBitmap);
}

TEST_F(GdiTest, UpdateLayeredWindowRefusesWhatItCannotShow) {
  HWND layered = createPopup(WS_EX_LAYERED);
  HWND plain = createPopup(0);
  HDC source = CreateCompatibleDC(NULL);
  HDC emptyMemoryDC = CreateCompatibleDC(NULL);
  HBITMAP bitmap = createDib(4, 3);
  SelectObject(source, bitmap);
  POINT outside = {1, 0};
  struct Case {
    const char* what;
    HWND window;
    SIZE size;
    HDC source;
    POINT* sourcePosition;
    DWORD flags;
    bool sourceChecked;  // Wine checks the source only after it has placed the window
  };
  const Case cases[] = {
      {"a window without WS_EX_LAYERED", plain, {4, 3}, source, NULL, ULW_ALPHA, false},
      {"a width of 0", layered, {0, 3}, source, NULL, ULW_ALPHA, false},
      {"a negative height", layered, {4, -1}, source, NULL, ULW_ALPHA, false},
      {"an unknown flag", layered, {4, 3}, source, NULL, 0x100, false},
      {"a region beyond the source's bitmap", layered, {4, 3}, source, &outside, ULW_ALPHA, true},
      {"a source larger than its bitmap", layered, {5, 3}, source, NULL, ULW_ALPHA, true},
      {"a source DC with only its stock bitmap", layered, {4, 3}, emptyMemoryDC, NULL, ULW_ALPHA, true}};
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  for (const Case& testCase : cases) {
    SIZE size = testCase.size;
    SetLastError(0);
    EXPECT_FALSE(UpdateLayeredWindow(testCase.window, NULL, NULL, &size, testCase.source, testCase.sourcePosition, 0,
                                     &blend, testCase.flags))
        << testCase.what;
    EXPECT_LAST_ERROR(ERROR_INVALID_PARAMETER) << testCase.what;
    if (!(runningOnWine() && testCase.sourceChecked)) {
      EXPECT_EQ("{10, 20, 110, 70}", windowRect(testCase.window)) << testCase.what << ": the window stays";
    }
    MoveWindow(testCase.window, 10, 20, 100, 50, TRUE);
  }
  DeleteDC(emptyMemoryDC);
  DeleteDC(source);
  DeleteObject(bitmap);
}

TEST_F(GdiTest, UpdateLayeredWindowMovesAndSizesTheWindowToItsContent) {
  HWND window = createPopup(WS_EX_LAYERED);
  HDC source = CreateCompatibleDC(NULL);
  HBITMAP bitmap = createDib(4, 3);
  SelectObject(source, bitmap);
  POINT position = {30, 40};
  SIZE size = {3, 2};
  POINT sourcePosition = {1, 1};
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, 128, AC_SRC_ALPHA};

  ASSERT_TRUE(UpdateLayeredWindow(window, NULL, &position, &size, source, &sourcePosition, 0, &blend, ULW_ALPHA))
      << "error " << GetLastError();
  EXPECT_EQ("{30, 40, 33, 42}", windowRect(window));
  EXPECT_EQ("{0, 0, 3, 2}", clientRect(window));
  POINT moved = {-5, 7};
  EXPECT_TRUE(UpdateLayeredWindow(window, NULL, &moved, NULL, NULL, NULL, 0, &blend, ULW_ALPHA));
  EXPECT_EQ("{-5, 7, -2, 9}", windowRect(window)) << "without a source DC only the position changes";
  DeleteDC(source);
  DeleteObject(bitmap);
}

TEST_F(GdiTest, MoveWindowPlacesAndSizesAWindowWhoseClientAreaIsAllOfIt) {
  HWND window = createPopup(0);
  EXPECT_EQ("{0, 0, 100, 50}", clientRect(window)) << "a popup window has no frame";
  EXPECT_TRUE(MoveWindow(window, 5, 6, 70, 80, TRUE));
  EXPECT_EQ("{5, 6, 75, 86}", windowRect(window));
  EXPECT_EQ("{0, 0, 70, 80}", clientRect(window));

  RECT rect = {};
  HWND notAWindow = reinterpret_cast<HWND>(GetStockObject(BLACK_BRUSH));
  SetLastError(0);
  EXPECT_FALSE(MoveWindow(notAWindow, 0, 0, 1, 1, TRUE));
  EXPECT_LAST_ERROR(ERROR_INVALID_WINDOW_HANDLE);
  SetLastError(0);
  EXPECT_FALSE(GetClientRect(notAWindow, &rect));
  EXPECT_LAST_ERROR(ERROR_INVALID_WINDOW_HANDLE);
}

}  // namespace
}  // namespace conformance
