// GDI+ as far as the program uses it: start-up and shut-down, pictures
// loaded from files, and drawing them scaled and colour-adjusted into a
// device context.
//
// As in the Windows SDK, the flat API (Gdiplus::DllExports) is what the
// layer implements, and the classes are inline wrappers over it that keep
// the last failed status of each object.
#pragma once

#include <windows.h>

#include <cstddef>

#define WINGDIPAPI WINAPI
#define GDIPCONST const

namespace Gdiplus {

typedef float REAL;

enum Status {
  Ok = 0,
  GenericError = 1,
  InvalidParameter = 2,
  OutOfMemory = 3,
  ObjectBusy = 4,
  InsufficientBuffer = 5,
  NotImplemented = 6,
  Win32Error = 7,
  WrongState = 8,
  Aborted = 9,
  FileNotFound = 10,
  ValueOverflow = 11,
  AccessDenied = 12,
  UnknownImageFormat = 13,
  FontFamilyNotFound = 14,
  FontStyleNotFound = 15,
  NotTrueTypeFont = 16,
  UnsupportedGdiplusVersion = 17,
  GdiplusNotInitialized = 18,
  PropertyNotFound = 19,
  PropertyNotSupported = 20,
};
typedef Status GpStatus;

enum Unit {
  UnitWorld = 0,
  UnitDisplay = 1,
  UnitPixel = 2,
  UnitPoint = 3,
  UnitInch = 4,
  UnitDocument = 5,
  UnitMillimeter = 6,
};
typedef Unit GpUnit;

enum ColorMatrixFlags {
  ColorMatrixFlagsDefault = 0,
  ColorMatrixFlagsSkipGrays = 1,
  ColorMatrixFlagsAltGray = 2,
};

enum ColorAdjustType {
  ColorAdjustTypeDefault = 0,
  ColorAdjustTypeBitmap = 1,
  ColorAdjustTypeBrush = 2,
  ColorAdjustTypePen = 3,
  ColorAdjustTypeText = 4,
  ColorAdjustTypeCount = 5,
  ColorAdjustTypeAny = 6,
};

// Applied to straight (not premultiplied) colours as the row vector
// [r g b a 1] times m, each component scaled to 0..1; the fifth column is
// not used.
struct ColorMatrix {
  REAL m[5][5];
};

struct Rect {
  Rect() : X(0), Y(0), Width(0), Height(0) {}
  Rect(INT x, INT y, INT width, INT height) : X(x), Y(y), Width(width), Height(height) {}

  INT X;
  INT Y;
  INT Width;
  INT Height;
};

// Called while a picture is drawn; returning TRUE stops the drawing.
typedef BOOL(CALLBACK* ImageAbort)(VOID* data);
typedef ImageAbort DrawImageAbort;

// ---- start-up -------------------------------------------------------------

enum DebugEventLevel { DebugEventLevelFatal, DebugEventLevelWarning };
typedef void(WINAPI* DebugEventProc)(DebugEventLevel level, CHAR* message);

struct GdiplusStartupInput {
  UINT32 GdiplusVersion;
  DebugEventProc DebugEventCallback;
  BOOL SuppressBackgroundThread;
  BOOL SuppressExternalCodecs;

  GdiplusStartupInput(DebugEventProc debugEventCallback = NULL, BOOL suppressBackgroundThread = FALSE,
                      BOOL suppressExternalCodecs = FALSE)
      : GdiplusVersion(1),
        DebugEventCallback(debugEventCallback),
        SuppressBackgroundThread(suppressBackgroundThread),
        SuppressExternalCodecs(suppressExternalCodecs) {}
};

typedef Status(WINAPI* NotificationHookProc)(ULONG_PTR* token);
typedef void(WINAPI* NotificationUnhookProc)(ULONG_PTR token);

struct GdiplusStartupOutput {
  NotificationHookProc NotificationHook;
  NotificationUnhookProc NotificationUnhook;
};

extern "C" {
Status WINAPI GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input, GdiplusStartupOutput* output);
void WINAPI GdiplusShutdown(ULONG_PTR token);
}

// ---- the flat API -----------------------------------------------------------

// What the flat API hands out: opaque objects known only by their address.
class GpImage {};
class GpBitmap : public GpImage {};
class GpGraphics {};
class GpImageAttributes {};

namespace DllExports {
extern "C" {

VOID* WINGDIPAPI GdipAlloc(size_t size);
VOID WINGDIPAPI GdipFree(VOID* memory);

GpStatus WINGDIPAPI GdipCreateBitmapFromFile(GDIPCONST WCHAR* filename, GpBitmap** bitmap);
GpStatus WINGDIPAPI GdipCreateBitmapFromFileICM(GDIPCONST WCHAR* filename, GpBitmap** bitmap);
GpStatus WINGDIPAPI GdipGetImageWidth(GpImage* image, UINT* width);
GpStatus WINGDIPAPI GdipGetImageHeight(GpImage* image, UINT* height);
GpStatus WINGDIPAPI GdipDisposeImage(GpImage* image);

GpStatus WINGDIPAPI GdipCreateImageAttributes(GpImageAttributes** imageAttributes);
GpStatus WINGDIPAPI GdipSetImageAttributesColorMatrix(GpImageAttributes* imageAttributes, ColorAdjustType type,
                                                      BOOL enableFlag, GDIPCONST ColorMatrix* colorMatrix,
                                                      GDIPCONST ColorMatrix* grayMatrix, ColorMatrixFlags flags);
GpStatus WINGDIPAPI GdipDisposeImageAttributes(GpImageAttributes* imageAttributes);

GpStatus WINGDIPAPI GdipCreateFromHDC(HDC dc, GpGraphics** graphics);
GpStatus WINGDIPAPI GdipDeleteGraphics(GpGraphics* graphics);
GpStatus WINGDIPAPI GdipDrawImageRectRectI(GpGraphics* graphics, GpImage* image, INT dstx, INT dsty, INT dstwidth,
                                           INT dstheight, INT srcx, INT srcy, INT srcwidth, INT srcheight,
                                           GpUnit srcUnit, GDIPCONST GpImageAttributes* imageAttributes,
                                           DrawImageAbort callback, VOID* callbackData);

}  // extern "C"
}  // namespace DllExports

// ---- the classes ------------------------------------------------------------

// GDI+ objects live in GDI+'s memory. Without GDI+ started GdipAlloc gives
// null, and so does the new expression, instead of constructing at null.
class GdiplusBase {
 public:
  static void* operator new(size_t size) noexcept { return DllExports::GdipAlloc(size); }
  static void* operator new[](size_t size) noexcept { return DllExports::GdipAlloc(size); }
  static void operator delete(void* memory) { DllExports::GdipFree(memory); }
  static void operator delete[](void* memory) { DllExports::GdipFree(memory); }
};

class Graphics;

class Image : public GdiplusBase {
 public:
  virtual ~Image() { DllExports::GdipDisposeImage(nativeImage); }

  UINT GetWidth() {
    UINT width = 0;
    SetStatus(DllExports::GdipGetImageWidth(nativeImage, &width));
    return width;
  }

  UINT GetHeight() {
    UINT height = 0;
    SetStatus(DllExports::GdipGetImageHeight(nativeImage, &height));
    return height;
  }

  // The first failure since the last call (Ok if none), which it forgets.
  Status GetLastStatus() const {
    Status lastStatus = lastResult;
    lastResult = Ok;
    return lastStatus;
  }

 protected:
  Image() : nativeImage(NULL), lastResult(Ok) {}

  void SetNativeImage(GpImage* image) { nativeImage = image; }

  Status SetStatus(Status status) const {
    if (status != Ok) {
      lastResult = status;
    }
    return status;
  }

  GpImage* nativeImage;
  mutable Status lastResult;

 private:
  Image(const Image&) = delete;
  Image& operator=(const Image&) = delete;

  friend class Graphics;
};

class Bitmap : public Image {
 public:
  // The picture in the file (PNG, JPEG, GIF, BMP, ICO or TIFF); on failure
  // GetLastStatus says why and the object draws nothing.
  Bitmap(const WCHAR* filename, BOOL useEmbeddedColorManagement = FALSE) {
    GpBitmap* bitmap = NULL;
    lastResult = useEmbeddedColorManagement ? DllExports::GdipCreateBitmapFromFileICM(filename, &bitmap)
                                            : DllExports::GdipCreateBitmapFromFile(filename, &bitmap);
    SetNativeImage(bitmap);
  }
};

class ImageAttributes : public GdiplusBase {
 public:
  ImageAttributes() : nativeImageAttr(NULL) { lastResult = DllExports::GdipCreateImageAttributes(&nativeImageAttr); }
  ~ImageAttributes() { DllExports::GdipDisposeImageAttributes(nativeImageAttr); }

  Status SetColorMatrix(const ColorMatrix* colorMatrix, ColorMatrixFlags mode = ColorMatrixFlagsDefault,
                        ColorAdjustType type = ColorAdjustTypeDefault) {
    return SetStatus(
        DllExports::GdipSetImageAttributesColorMatrix(nativeImageAttr, type, TRUE, colorMatrix, NULL, mode));
  }

  Status GetLastStatus() const {
    Status lastStatus = lastResult;
    lastResult = Ok;
    return lastStatus;
  }

 protected:
  Status SetStatus(Status status) const {
    if (status != Ok) {
      lastResult = status;
    }
    return status;
  }

  GpImageAttributes* nativeImageAttr;
  mutable Status lastResult;

 private:
  ImageAttributes(const ImageAttributes&) = delete;
  ImageAttributes& operator=(const ImageAttributes&) = delete;

  friend class Graphics;
};

class Graphics : public GdiplusBase {
 public:
  Graphics(HDC hdc) : nativeGraphics(NULL) { lastResult = DllExports::GdipCreateFromHDC(hdc, &nativeGraphics); }
  ~Graphics() { DllExports::GdipDeleteGraphics(nativeGraphics); }

  // Draws the source rectangle of the picture (in its pixels) scaled into
  // the destination rectangle, colour-adjusted by the attributes, over
  // what is there.
  Status DrawImage(Image* image, const Rect& destRect, INT srcx, INT srcy, INT srcwidth, INT srcheight, Unit srcUnit,
                   const ImageAttributes* imageAttributes = NULL, DrawImageAbort callback = NULL,
                   VOID* callbackData = NULL) {
    return SetStatus(DllExports::GdipDrawImageRectRectI(
        nativeGraphics, image ? image->nativeImage : NULL, destRect.X, destRect.Y, destRect.Width, destRect.Height,
        srcx, srcy, srcwidth, srcheight, srcUnit, imageAttributes ? imageAttributes->nativeImageAttr : NULL, callback,
        callbackData));
  }

  Status GetLastStatus() const {
    Status lastStatus = lastResult;
    lastResult = Ok;
    return lastStatus;
  }

 protected:
  Status SetStatus(Status status) const {
    if (status != Ok) {
      lastResult = status;
    }
    return status;
  }

  GpGraphics* nativeGraphics;
  mutable Status lastResult;

 private:
  Graphics(const Graphics&) = delete;
  Graphics& operator=(const Graphics&) = delete;
};

}  // namespace Gdiplus
