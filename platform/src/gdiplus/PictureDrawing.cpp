// DrawImage's pixel work on pixman: colour adjustment, bilinear scaling and
// composition over the destination.
#include "gdiplus/PictureDrawing.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/StraightColor.h"

namespace platform {

namespace {

using Gdiplus::ColorMatrix;
using Gdiplus::Rect;

// A pixman image reference that is given back when it goes.
class PixmanImage {
 public:
  explicit PixmanImage(pixman_image_t* image) : image_(image) {}
  ~PixmanImage() {
    if (image_) {
      pixman_image_unref(image_);
    }
  }
  PixmanImage(const PixmanImage&) = delete;
  PixmanImage& operator=(const PixmanImage&) = delete;

  pixman_image_t* get() const { return image_; }

 private:
  pixman_image_t* image_;
};

// Another image over the same pixels, which a drawing can give its own
// transform and filter without changing the surface's own image.
pixman_image_t* newViewOf(const Surface& surface) {
  pixman_image_t* image = surface.image();
  return pixman_image_create_bits(PIXMAN_a8r8g8b8, surface.width(), surface.height(), pixman_image_get_data(image),
                                  pixman_image_get_stride(image));
}

std::uint32_t* rowOf(const Surface& surface, int y) {
  pixman_image_t* image = surface.image();
  std::uint8_t* data = reinterpret_cast<std::uint8_t*>(pixman_image_get_data(image));
  return reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * pixman_image_get_stride(image));
}

// One axis of a drawing: the destination pixels drawn, and where the first
// one samples the source.
struct AxisMapping {
  int first;     // the first destination pixel drawn
  int count;     // how many are drawn
  double scale;  // source pixels per destination pixel, negative when mirrored
  double start;  // where the first one's centre samples, in pixman's terms (pixel i spans i..i+1)
};

// False when nothing is drawn on this axis: an empty rectangle, or one
// outside the destination.
bool mapAxis(int destinationPosition, int destinationLength, int destinationLimit, int sourcePosition,
             int sourceLength, AxisMapping& mapping) {
  if (destinationLength == 0 || sourceLength == 0) {
    return false;
  }
  std::int64_t begin = std::min<std::int64_t>(destinationPosition, std::int64_t{destinationPosition} + destinationLength);
  std::int64_t end = begin + std::llabs(destinationLength);
  begin = std::max<std::int64_t>(begin, 0);
  end = std::min<std::int64_t>(end, destinationLimit);
  if (begin >= end) {
    return false;
  }
  mapping.first = static_cast<int>(begin);
  mapping.count = static_cast<int>(end - begin);
  mapping.scale = static_cast<double>(sourceLength) / destinationLength;
  // GDI+ puts the centre of destination pixel `first` at `first` and of
  // source pixel i at i; pixman puts both half a pixel further on.
  mapping.start = sourcePosition + (static_cast<double>(begin) - destinationPosition) * mapping.scale + 0.5;
  return true;
}

// The part of the picture that bilinear samples within the source
// rectangle can reach: the rectangle and one pixel around it. False when it
// misses the picture.
bool sampledArea(const Surface& picture, const Rect& source, Rect& area) {
  auto span = [](int position, int length, int limit, int& first, int& count) {
    std::int64_t begin = std::min<std::int64_t>(position, std::int64_t{position} + length) - 1;
    std::int64_t end = std::max<std::int64_t>(position, std::int64_t{position} + length) + 1;
    begin = std::max<std::int64_t>(begin, 0);
    end = std::min<std::int64_t>(end, limit);
    first = static_cast<int>(begin);
    count = static_cast<int>(end - begin);
    return begin < end;
  };
  return span(source.X, source.Width, picture.width(), area.X, area.Width) &&
         span(source.Y, source.Height, picture.height(), area.Y, area.Height);
}

// Destination pixel `first + i` samples `start + i * scale` of a source
// whose pixel (0, 0) lies at `origin` in the picture: as pixman maps the
// centres (i + 0.5) of the composite's own coordinates.
bool scalingTransform(const AxisMapping& across, const AxisMapping& down, int originX, int originY,
                      pixman_transform_t& transform) {
  pixman_f_transform_t exact;
  pixman_f_transform_init_identity(&exact);
  exact.m[0][0] = across.scale;
  exact.m[0][2] = across.start - originX - 0.5 * across.scale;
  exact.m[1][1] = down.scale;
  exact.m[1][2] = down.start - originY - 0.5 * down.scale;
  return pixman_transform_from_pixman_f_transform(&transform, &exact);
}

// A source sampled bilinearly by the drawing's scale.
Gdiplus::Status scaledSource(const Surface& pixels, const AxisMapping& across, const AxisMapping& down, int originX,
                             int originY, std::unique_ptr<PixmanImage>& source) {
  pixman_transform_t transform;
  if (!scalingTransform(across, down, originX, originY, transform)) {
    return Gdiplus::ValueOverflow;
  }
  source = std::make_unique<PixmanImage>(newViewOf(pixels));
  if (!source->get()) {
    return Gdiplus::OutOfMemory;
  }
  pixman_image_set_transform(source->get(), &transform);
  pixman_image_set_filter(source->get(), PIXMAN_FILTER_BILINEAR, nullptr, 0);
  return Gdiplus::Ok;
}

void composeOver(Surface& destination, const AxisMapping& across, const AxisMapping& down, pixman_image_t* source) {
  pixman_image_composite32(PIXMAN_OP_OVER, source, nullptr, destination.image(), 0, 0, 0, 0, across.first, down.first,
                           across.count, down.count);
}

// Whether every pixel of the rectangle is transparent black, as in a
// freshly made surface.
bool isClear(const Surface& surface, const AxisMapping& across, const AxisMapping& down) {
  for (int y = down.first; y < down.first + down.count; ++y) {
    const std::uint32_t* row = rowOf(surface, y) + across.first;
    std::uint32_t seen = 0;
    for (int x = 0; x < across.count; ++x) {
      seen |= row[x];
    }
    if (seen != 0) {
      return false;
    }
  }
  return true;
}

bool isGray(StraightColor color) { return color.red == color.green && color.green == color.blue; }

std::uint8_t channelByte(double value) {
  return static_cast<std::uint8_t>(std::lround(std::min(std::max(value, 0.0), 1.0) * 255.0));
}

StraightColor transformed(StraightColor color, const ColorMatrix& matrix) {
  const double row[5] = {color.red / 255.0, color.green / 255.0, color.blue / 255.0, color.alpha / 255.0, 1.0};
  double result[4];
  for (int column = 0; column < 4; ++column) {
    result[column] = 0.0;
    for (int index = 0; index < 5; ++index) {
      result[column] += row[index] * matrix.m[index][column];
    }
  }
  return StraightColor{channelByte(result[0]), channelByte(result[1]), channelByte(result[2]), channelByte(result[3])};
}

std::uint32_t adjustedPixel(std::uint32_t pixel, const ColorAdjustment& adjustment) {
  StraightColor color = straightColor(pixel);
  if (isGray(color) && adjustment.flags == Gdiplus::ColorMatrixFlagsSkipGrays) {
    return pixel;
  }
  bool grayMatrix = isGray(color) && adjustment.flags == Gdiplus::ColorMatrixFlagsAltGray;
  return premultipliedPixel(transformed(color, grayMatrix ? adjustment.grayMatrix : adjustment.matrix));
}

// Whether the matrix's used columns (the fifth is not) are those of the
// identity, but for the red, green and blue factors on the diagonal.
bool isDiagonalKeepingAlpha(const ColorMatrix& matrix) {
  for (int row = 0; row < 5; ++row) {
    for (int column = 0; column < 4; ++column) {
      bool colorFactor = row == column && row < 3;
      float identity = row == column ? 1.0f : 0.0f;
      if (!colorFactor && matrix.m[row][column] != identity) {
        return false;
      }
    }
  }
  return true;
}

bool isFactor(float value) { return value >= 0.0f && value <= 1.0f; }

// The pixels, whose (0, 0) lies at `origin` in the picture, scaled over
// the destination.
Gdiplus::Status drawScaled(Surface& destination, const AxisMapping& across, const AxisMapping& down,
                           const Surface& pixels, int originX, int originY) {
  std::unique_ptr<PixmanImage> source;
  Gdiplus::Status status = scaledSource(pixels, across, down, originX, originY, source);
  if (status == Gdiplus::Ok) {
    composeOver(destination, across, down, source->get());
  }
  return status;
}

// A channel tint multiplies each premultiplied channel by its factor: in
// pixman, a one-pixel component-alpha mask (each channel times the mask's
// same channel, alpha times 0xFF) in the same composite as the pixels.
class TintMask {
 public:
  explicit TintMask(const ColorMatrix& matrix)
      : factors_(0xFF000000u | std::uint32_t{channelByte(matrix.m[0][0])} << 16 |
                 std::uint32_t{channelByte(matrix.m[1][1])} << 8 | channelByte(matrix.m[2][2])),
        image_(pixman_image_create_bits(PIXMAN_a8r8g8b8, 1, 1, &factors_, sizeof factors_)) {
    if (image_.get()) {
      pixman_image_set_repeat(image_.get(), PIXMAN_REPEAT_NORMAL);
      pixman_image_set_component_alpha(image_.get(), 1);
    }
  }

  pixman_image_t* get() const { return image_.get(); }

 private:
  std::uint32_t factors_;
  PixmanImage image_;
};

// The tinted pixels of the picture's area, at its own size.
std::unique_ptr<Surface> tintedCopy(const Surface& picture, const Rect& area, const TintMask& mask) {
  std::unique_ptr<Surface> copy = Surface::create(area.Width, area.Height);
  PixmanImage source(newViewOf(picture));
  if (!copy || !source.get()) {
    return nullptr;
  }
  pixman_image_composite32(PIXMAN_OP_SRC, source.get(), mask.get(), copy->image(), area.X, area.Y, 0, 0, 0, 0,
                           area.Width, area.Height);
  return copy;
}

// Tinting and bilinear scaling give the same in either order, so the tint
// goes where there are fewer pixels: on the picture's area before it is
// enlarged, on the drawn pixels when it is reduced. Those are tinted in the
// scaling composite itself; as OVER would also weigh what is underneath by
// each channel's factor rather than by the pixel's alpha alone, that
// composite only goes straight into a destination that is transparent
// there, as a picture window's fresh layer is. Anywhere else the tinted
// pixels are made apart first and then composed over.
Gdiplus::Status drawTinted(Surface& destination, const AxisMapping& across, const AxisMapping& down,
                           const Surface& picture, const Rect& area, const ColorMatrix& matrix) {
  TintMask mask(matrix);
  if (!mask.get()) {
    return Gdiplus::OutOfMemory;
  }
  if (std::int64_t{area.Width} * area.Height <= std::int64_t{across.count} * down.count) {
    std::unique_ptr<Surface> tinted = tintedCopy(picture, area, mask);
    return tinted ? drawScaled(destination, across, down, *tinted, area.X, area.Y) : Gdiplus::OutOfMemory;
  }
  std::unique_ptr<PixmanImage> source;
  Gdiplus::Status status = scaledSource(picture, across, down, 0, 0, source);
  if (status != Gdiplus::Ok) {
    return status;
  }
  if (isClear(destination, across, down)) {
    pixman_image_composite32(PIXMAN_OP_SRC, source->get(), mask.get(), destination.image(), 0, 0, 0, 0, across.first,
                             down.first, across.count, down.count);
    return Gdiplus::Ok;
  }
  std::unique_ptr<Surface> tinted = Surface::create(across.count, down.count);
  if (!tinted) {
    return Gdiplus::OutOfMemory;
  }
  pixman_image_composite32(PIXMAN_OP_SRC, source->get(), mask.get(), tinted->image(), 0, 0, 0, 0, 0, 0, across.count,
                           down.count);
  composeOver(destination, across, down, tinted->image());
  return Gdiplus::Ok;
}

// Any other matrix works on straight colours, so it is applied to a copy
// of the area the drawing samples, before scaling.
Gdiplus::Status drawAdjusted(Surface& destination, const AxisMapping& across, const AxisMapping& down,
                             const Surface& picture, const Rect& area, const ColorAdjustment& adjustment) {
  std::unique_ptr<Surface> adjusted = matrixAdjustedCopy(picture, area, adjustment);
  if (!adjusted) {
    return Gdiplus::OutOfMemory;
  }
  return drawScaled(destination, across, down, *adjusted, area.X, area.Y);
}

}  // namespace

bool isIdentity(const ColorAdjustment& adjustment) {
  const ColorMatrix& matrix = adjustment.matrix;
  bool grayMatrixUsed = adjustment.flags == Gdiplus::ColorMatrixFlagsAltGray;
  return isDiagonalKeepingAlpha(matrix) && matrix.m[0][0] == 1.0f && matrix.m[1][1] == 1.0f &&
         matrix.m[2][2] == 1.0f && !grayMatrixUsed;
}

bool isChannelTint(const ColorAdjustment& adjustment) {
  const ColorMatrix& matrix = adjustment.matrix;
  return adjustment.flags == Gdiplus::ColorMatrixFlagsDefault && isDiagonalKeepingAlpha(matrix) &&
         isFactor(matrix.m[0][0]) && isFactor(matrix.m[1][1]) && isFactor(matrix.m[2][2]);
}

std::unique_ptr<Surface> matrixAdjustedCopy(const Surface& picture, const Rect& area,
                                            const ColorAdjustment& adjustment) {
  std::unique_ptr<Surface> copy = Surface::create(area.Width, area.Height);
  if (!copy) {
    return nullptr;
  }
  for (int y = 0; y < area.Height; ++y) {
    std::uint32_t* row = rowOf(*copy, y);
    for (int x = 0; x < area.Width; ++x) {
      row[x] = adjustedPixel(picture.pixel(area.X + x, area.Y + y), adjustment);
    }
  }
  return copy;
}

Gdiplus::Status drawPicture(Surface& destination, const Rect& destinationRect, const Surface& picture,
                            const Rect& sourceRect, const ColorAdjustment* adjustment) {
  AxisMapping across;
  AxisMapping down;
  Rect area;
  if (!mapAxis(destinationRect.X, destinationRect.Width, destination.width(), sourceRect.X, sourceRect.Width,
               across) ||
      !mapAxis(destinationRect.Y, destinationRect.Height, destination.height(), sourceRect.Y, sourceRect.Height,
               down) ||
      !sampledArea(picture, sourceRect, area)) {
    return Gdiplus::Ok;
  }
  if (!adjustment || isIdentity(*adjustment)) {
    return drawScaled(destination, across, down, picture, 0, 0);
  }
  if (isChannelTint(*adjustment)) {
    return drawTinted(destination, across, down, picture, area, adjustment->matrix);
  }
  return drawAdjusted(destination, across, down, picture, area, *adjustment);
}

}  // namespace platform
