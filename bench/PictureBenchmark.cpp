// What pictures cost: the whole start-up through WinMain beside the bare
// decode of the same files with gdk-pixbuf, split into the layer's decode
// and render; the render against pixman's own bilinear OVER; and the
// resident size with 100 pictures shown against the pixels they need.
// windows.h first: glib defines TRUE and FALSE only when they are not yet.
#include <windows.h>
#include <gdiplus.h>
#include <benchmark/benchmark.h>
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <pixman.h>
#include <platform/desktop.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "BenchmarkPictures.h"
#include "support/PictureFile.h"
#include "support/TemporaryDirectory.h"

namespace {

namespace desktop = platform::desktop;
namespace script = platform::script;

using benchsupport::gradientPixels;
using benchsupport::kMostPictures;
using benchsupport::kPictureSize;
using benchsupport::kShownSize;
using benchsupport::picturePath;
using benchsupport::writeSettings;

const std::uint32_t kTintColor = 0xFFFFC080u;  // benchsupport::kTint as a number
const double kMebibyte = 1024.0 * 1024.0;

std::basic_string<WCHAR> widePath(const std::string& path) {
  return std::basic_string<WCHAR>(path.begin(), path.end());
}

// The picture files, written once into a directory of their own that stays
// current until the process ends; config.xml is written there by each
// benchmark for its number of pictures.
class PictureFiles {
 public:
  static void ensure() { static PictureFiles files; }

 private:
  PictureFiles() : directory_("bench-pictures") {
    benchsupport::writePictures(kMostPictures);
    testsupport::writePng("large.png", 1024, 1024, gradientPixels(1024));
    testsupport::writePng("small.png", kShownSize, kShownSize, gradientPixels(kShownSize));
  }

  testsupport::TemporaryDirectory directory_;
};

// A fresh desktop whose script ends the program from the tray's system
// menu, after `look` when there is one.
void prepareRun(const std::function<void()>& look = nullptr) {
  desktop::reset();
  desktop::setEcho(false);
  if (look) {
    script::then(look);
  }
  script::clickTrayIcon(platform::MouseButton::right);
  script::chooseMenuItem("Exit");
}

int runProgram() {
  char commandLine[] = "";
  return WinMain(GetModuleHandleA(NULL), NULL, commandLine, SW_SHOWDEFAULT);
}

// Seconds per picture beside the usual time per iteration.
void reportPerPicture(benchmark::State& state) {
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.counters["per_picture"] =
      benchmark::Counter(static_cast<double>(state.range(0)), benchmark::Counter::kIsIterationInvariantRate |
                                                                   benchmark::Counter::kInvert);
}

// The process's resident set in bytes, or -1 when /proc does not say.
double residentBytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) {
      return std::stod(line.substr(6)) * 1024.0;  // given in kB
    }
  }
  return -1.0;
}

// GDI+ running for the benchmarks that use the layer's classes directly.
class GdiplusSession {
 public:
  GdiplusSession() {
    desktop::reset();
    desktop::setEcho(false);
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token_, &input, NULL) != Gdiplus::Ok) {
      throw std::runtime_error("GdiplusStartup failed");
    }
  }
  ~GdiplusSession() { Gdiplus::GdiplusShutdown(token_); }

 private:
  ULONG_PTR token_ = 0;
};

std::unique_ptr<Gdiplus::Bitmap> loadBitmap(const std::string& path) {
  auto bitmap = std::make_unique<Gdiplus::Bitmap>(widePath(path).c_str(), FALSE);
  if (bitmap->GetLastStatus() != Gdiplus::Ok) {
    throw std::runtime_error("the layer could not load " + path);
  }
  return bitmap;
}

// The tint as the picture window gives it to DrawImage.
std::unique_ptr<Gdiplus::ImageAttributes> tintAttributes(std::uint32_t color) {
  Gdiplus::ColorMatrix matrix = {};
  matrix.m[0][0] = static_cast<Gdiplus::REAL>((color >> 16) & 0xFF) / 255.0f;
  matrix.m[1][1] = static_cast<Gdiplus::REAL>((color >> 8) & 0xFF) / 255.0f;
  matrix.m[2][2] = static_cast<Gdiplus::REAL>(color & 0xFF) / 255.0f;
  matrix.m[3][3] = 1.0f;
  matrix.m[4][4] = 1.0f;
  auto attributes = std::make_unique<Gdiplus::ImageAttributes>();
  attributes->SetColorMatrix(&matrix, Gdiplus::ColorMatrixFlagsDefault, Gdiplus::ColorAdjustTypeDefault);
  return attributes;
}

// A memory DC with a bottom-up 32-bit DIB section selected, as the picture
// window composes into.
class MemorySurface {
 public:
  MemorySurface(int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    surface_ = CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &bits_, NULL, 0);
    byteCount_ = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
    memoryDC_ = CreateCompatibleDC(NULL);
    if (surface_ == NULL || memoryDC_ == NULL) {
      throw std::runtime_error("no memory surface");
    }
    keptBitmap_ = SelectObject(memoryDC_, surface_);
  }
  ~MemorySurface() {
    SelectObject(memoryDC_, keptBitmap_);
    DeleteDC(memoryDC_);
    DeleteObject(surface_);
  }
  MemorySurface(const MemorySurface&) = delete;
  MemorySurface& operator=(const MemorySurface&) = delete;

  HDC dc() const { return memoryDC_; }

  // Transparent black again, as a freshly made layer is.
  void clear() { std::memset(bits_, 0, byteCount_); }

 private:
  VOID* bits_ = NULL;
  std::size_t byteCount_ = 0;
  HBITMAP surface_ = NULL;
  HDC memoryDC_ = NULL;
  HGDIOBJ keptBitmap_ = NULL;
};

void drawTinted(HDC dc, Gdiplus::Bitmap& bitmap, const Gdiplus::ImageAttributes& attributes, int width, int height) {
  Gdiplus::Graphics graphics(dc);
  INT pictureWidth = static_cast<INT>(bitmap.GetWidth());
  INT pictureHeight = static_cast<INT>(bitmap.GetHeight());
  graphics.DrawImage(&bitmap, Gdiplus::Rect(0, 0, width, height), 0, 0, pictureWidth, pictureHeight,
                     Gdiplus::UnitPixel, &attributes);
}

// --- memory, first so that no earlier benchmark's freed heap counts ---

void residentSizeWithPictures(benchmark::State& state) {
  PictureFiles::ensure();
  int pictures = static_cast<int>(state.range(0));
  writeSettings(pictures);
  double before = residentBytes();
  double running = 0.0;
  for (auto _ : state) {
    prepareRun([&] { running = residentBytes(); });
    benchmark::DoNotOptimize(runProgram());
  }
  double decoded = pictures * double{kPictureSize} * kPictureSize * 4.0;
  double layers = pictures * double{kShownSize} * kShownSize * 4.0;
  double allowed = 1.2 * (decoded + layers) + 8.0 * kMebibyte;
  state.counters["rss_before_MiB"] = before / kMebibyte;
  state.counters["rss_running_MiB"] = running / kMebibyte;
  state.counters["rss_growth_MiB"] = (running - before) / kMebibyte;
  state.counters["decoded_MiB"] = decoded / kMebibyte;
  state.counters["layers_MiB"] = layers / kMebibyte;
  state.counters["allowed_MiB"] = allowed / kMebibyte;
  state.counters["rss_over_allowed"] = running / allowed;
}
BENCHMARK(residentSizeWithPictures)->Arg(kMostPictures)->Iterations(1)->Unit(benchmark::kMillisecond);

// --- start-up and its parts, per picture ---

void startUpToExit(benchmark::State& state) {
  PictureFiles::ensure();
  writeSettings(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    prepareRun();
    state.ResumeTiming();
    benchmark::DoNotOptimize(runProgram());
  }
  reportPerPicture(state);
}
BENCHMARK(startUpToExit)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);

void bareDecode(benchmark::State& state) {
  PictureFiles::ensure();
  for (auto _ : state) {
    for (int index = 0; index < state.range(0); ++index) {
      GdkPixbuf* pixbuf = gdk_pixbuf_new_from_file(picturePath(index).c_str(), NULL);
      if (pixbuf == NULL) {
        state.SkipWithError("gdk-pixbuf could not decode a picture");
        return;
      }
      g_object_unref(pixbuf);
    }
  }
  reportPerPicture(state);
}
BENCHMARK(bareDecode)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);

// The same decoding, with every picture kept until all are decoded, as a
// program that shows them must keep them: each then needs memory of its
// own, fresh from the kernel, where the loop above reuses one buffer.
void bareDecodeKept(benchmark::State& state) {
  PictureFiles::ensure();
  std::vector<GdkPixbuf*> pixbufs;
  for (auto _ : state) {
    for (int index = 0; index < state.range(0); ++index) {
      pixbufs.push_back(gdk_pixbuf_new_from_file(picturePath(index).c_str(), NULL));
    }
    state.PauseTiming();
    for (GdkPixbuf* pixbuf : pixbufs) {
      if (pixbuf != NULL) {
        g_object_unref(pixbuf);
      }
    }
    pixbufs.clear();
    state.ResumeTiming();
  }
  reportPerPicture(state);
}
BENCHMARK(bareDecodeKept)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);

void layerDecode(benchmark::State& state) {
  PictureFiles::ensure();
  GdiplusSession session;
  for (auto _ : state) {
    for (int index = 0; index < state.range(0); ++index) {
      benchmark::DoNotOptimize(loadBitmap(picturePath(index)));
    }
  }
  reportPerPicture(state);
}
BENCHMARK(layerDecode)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);

// What the picture window's render does before it hands the layer over:
// a fresh surface, a Graphics on it, the tinted DrawImage.
void layerRender(benchmark::State& state) {
  PictureFiles::ensure();
  GdiplusSession session;
  std::unique_ptr<Gdiplus::Bitmap> bitmap = loadBitmap(picturePath(0));
  for (auto _ : state) {
    for (int index = 0; index < state.range(0); ++index) {
      MemorySurface surface(kShownSize, kShownSize);
      drawTinted(surface.dc(), *bitmap, *tintAttributes(kTintColor), kShownSize, kShownSize);
    }
  }
  reportPerPicture(state);
}
BENCHMARK(layerRender)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);

// --- the render step against pixman, by destination pixels ---
// Each drawing goes into a clear destination, as the render step's fresh
// layer is; the clearing is not timed.

void reportThroughput(benchmark::State& state, int destinationSize) {
  std::int64_t pixels = std::int64_t{destinationSize} * destinationSize;
  state.SetItemsProcessed(state.iterations() * pixels);
  state.SetBytesProcessed(state.iterations() * pixels * 4);
}

// Argument 0: 1024² down to 256²; argument 1: 256² up to 1024².
int sourceSizeOf(const benchmark::State& state) { return state.range(0) == 0 ? 1024 : kShownSize; }
int destinationSizeOf(const benchmark::State& state) { return state.range(0) == 0 ? kShownSize : 1024; }

void layerDrawImage(benchmark::State& state) {
  PictureFiles::ensure();
  GdiplusSession session;
  int destinationSize = destinationSizeOf(state);
  std::unique_ptr<Gdiplus::Bitmap> bitmap = loadBitmap(sourceSizeOf(state) == 1024 ? "large.png" : "small.png");
  std::unique_ptr<Gdiplus::ImageAttributes> attributes = tintAttributes(kTintColor);
  MemorySurface surface(destinationSize, destinationSize);
  for (auto _ : state) {
    state.PauseTiming();
    surface.clear();
    state.ResumeTiming();
    drawTinted(surface.dc(), *bitmap, *attributes, destinationSize, destinationSize);
  }
  reportThroughput(state, destinationSize);
}
BENCHMARK(layerDrawImage)->ArgName("upscale")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The same pixels, premultiplied, straight into pixman.
pixman_image_t* gradientImage(int size) {
  pixman_image_t* image = pixman_image_create_bits(PIXMAN_a8r8g8b8, size, size, NULL, size * 4);
  std::uint32_t* data = pixman_image_get_data(image);
  std::vector<std::uint32_t> pixels = gradientPixels(size);
  for (std::size_t index = 0; index < pixels.size(); ++index) {
    std::uint32_t pixel = pixels[index];
    std::uint32_t alpha = pixel >> 24;
    auto scaled = [&](int shift) { return ((pixel >> shift & 0xFF) * alpha + 127) / 255 << shift; };
    data[index] = alpha << 24 | scaled(16) | scaled(8) | scaled(0);
  }
  return image;
}

void pixmanBilinearOver(benchmark::State& state) {
  int sourceSize = sourceSizeOf(state);
  int destinationSize = destinationSizeOf(state);
  pixman_image_t* source = gradientImage(sourceSize);
  pixman_image_t* destination =
      pixman_image_create_bits(PIXMAN_a8r8g8b8, destinationSize, destinationSize, NULL, destinationSize * 4);
  pixman_transform_t transform;
  pixman_fixed_t scale = pixman_double_to_fixed(static_cast<double>(sourceSize) / destinationSize);
  pixman_transform_init_scale(&transform, scale, scale);
  pixman_image_set_transform(source, &transform);
  pixman_image_set_filter(source, PIXMAN_FILTER_BILINEAR, NULL, 0);
  std::size_t destinationBytes = static_cast<std::size_t>(destinationSize) * destinationSize * 4;
  for (auto _ : state) {
    state.PauseTiming();
    std::memset(pixman_image_get_data(destination), 0, destinationBytes);
    state.ResumeTiming();
    pixman_image_composite32(PIXMAN_OP_OVER, source, NULL, destination, 0, 0, 0, 0, 0, 0, destinationSize,
                             destinationSize);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(destination);
  pixman_image_unref(source);
  reportThroughput(state, destinationSize);
}
BENCHMARK(pixmanBilinearOver)->ArgName("upscale")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
