// UpdateLayeredWindow: a layered window's content, position and size.
#include "core/WindowNotice.h"
#include "user32/LayeredWindow.h"

#include "gdi32/Gdi.h"

#include <algorithm>

namespace {

const DWORD kKnownFlags = ULW_COLORKEY | ULW_ALPHA | ULW_OPAQUE;

// The copy's alpha: the source's own with ULW_ALPHA and AC_SRC_ALPHA,
// otherwise opaque.
bool usesSourceAlpha(const BLENDFUNCTION* blend, DWORD flags) {
  return (flags & ULW_ALPHA) && blend && (blend->AlphaFormat & AC_SRC_ALPHA);
}

BYTE constantAlphaOf(const BLENDFUNCTION* blend, DWORD flags) {
  return (flags & ULW_ALPHA) && blend ? blend->SourceConstantAlpha : 0xFF;
}

// The region of the source that becomes the content.
struct SourceRegion {
  platform::Surface* surface;
  POINT origin;
  SIZE size;
};

bool liesWithin(const SourceRegion& region) {
  return region.origin.x >= 0 && region.origin.y >= 0 &&
         static_cast<std::int64_t>(region.origin.x) + region.size.cx <= region.surface->width() &&
         static_cast<std::int64_t>(region.origin.y) + region.size.cy <= region.surface->height();
}

// Pixels of the colour key become transparent. The content is stored top
// row first, its rows one after the other.
void applyColourKey(const platform::Surface& content, COLORREF colourKey) {
  std::uint32_t key = ((colourKey & 0xFF) << 16) | (colourKey & 0xFF00) | ((colourKey >> 16) & 0xFF);
  std::uint32_t* pixels = static_cast<std::uint32_t*>(content.bits());
  std::uint32_t* end = pixels + static_cast<std::size_t>(content.width()) * static_cast<std::size_t>(content.height());
  std::replace_if(pixels, end, [key](std::uint32_t pixel) { return (pixel & 0x00FFFFFF) == key; }, 0u);
}

// The window's own copy of the region. Without the source's alpha the
// source is read as x8r8g8b8, which makes every pixel opaque.
std::unique_ptr<platform::Surface> copyContent(const SourceRegion& region, bool sourceAlpha) {
  std::unique_ptr<platform::Surface> content = platform::Surface::create(region.size.cx, region.size.cy);
  if (!content) {
    return nullptr;
  }
  pixman_image_t* source = region.surface->image();
  pixman_image_t* opaqueView = nullptr;
  if (!sourceAlpha) {
    opaqueView = pixman_image_create_bits(PIXMAN_x8r8g8b8, region.surface->width(), region.surface->height(),
                                          pixman_image_get_data(source), pixman_image_get_stride(source));
    source = opaqueView;
  }
  pixman_image_composite32(PIXMAN_OP_SRC, source, nullptr, content->image(), region.origin.x, region.origin.y, 0, 0, 0,
                           0, region.size.cx, region.size.cy);
  if (opaqueView) {
    pixman_image_unref(opaqueView);
  }
  return content;
}

// The window moves and resizes as asked, the host told when it did.
void place(platform::Window& window, const POINT* position, SIZE size) {
  RECT rect = window.rect;
  if (position) {
    rect = RECT{position->x, position->y, platform::farEdge(position->x, rect.right - rect.left),
                platform::farEdge(position->y, rect.bottom - rect.top)};
  }
  rect.right = platform::farEdge(rect.left, size.cx);
  rect.bottom = platform::farEdge(rect.top, size.cy);
  if (rect.left != window.rect.left || rect.top != window.rect.top || rect.right != window.rect.right ||
      rect.bottom != window.rect.bottom) {
    window.rect = rect;
    platform::tellHost(window, platform::WindowChange::moved);
  }
}

BOOL invalidParameter() {
  SetLastError(ERROR_INVALID_PARAMETER);
  return FALSE;
}

}  // namespace

namespace platform {

bool showsLayeredPixelAt(const Window& window, POINT point) {
  const Surface* content = window.layeredSurface.get();
  int x = point.x - window.rect.left;
  int y = point.y - window.rect.top;
  if (!content || x < 0 || y < 0 || x >= content->width() || y >= content->height()) {
    return false;
  }
  return takesMouse(content->pixel(x, y), window.layeredConstantAlpha);
}

}  // namespace platform

extern "C" {

// Checks everything before it changes anything. The size defaults to the
// window's; a null source DC moves and resizes the window and keeps its
// content, only taking a new constant alpha with ULW_ALPHA (how a window
// fades). With a source, the region at the source position (default 0, 0)
// of that size must lie within the source's bitmap. The blend's other
// fields are not checked, as on Wine; ULW_ALPHA without a blend, which
// Wine crashes on, is refused. ULW_EX_NORESIZE is not modelled.
BOOL WINAPI UpdateLayeredWindow(HWND window, HDC, POINT* position, SIZE* size, HDC source, POINT* sourcePosition,
                                COLORREF colorKey, BLENDFUNCTION* blend, DWORD flags) {
  platform::Window* record = platform::findWindowRecord(window);
  if (!record) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (!(record->exStyle & WS_EX_LAYERED) || (flags & ~kKnownFlags) || ((flags & ULW_ALPHA) && !blend)) {
    return invalidParameter();
  }
  SIZE finalSize = size ? *size : SIZE{record->rect.right - record->rect.left, record->rect.bottom - record->rect.top};
  if (finalSize.cx <= 0 || finalSize.cy <= 0) {
    return invalidParameter();
  }
  std::unique_ptr<platform::Surface> content;
  if (source) {
    SourceRegion region{platform::surfaceOfDC(source), sourcePosition ? *sourcePosition : POINT{0, 0}, finalSize};
    if (!region.surface || !liesWithin(region)) {
      return invalidParameter();
    }
    content = copyContent(region, usesSourceAlpha(blend, flags));
    if (!content) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return FALSE;
    }
    if (flags & ULW_COLORKEY) {
      applyColourKey(*content, colorKey);
    }
  }
  place(*record, position, finalSize);
  bool newContent = content != nullptr;
  if (newContent) {
    record->layeredSurface = std::move(content);
    record->hasLayeredContent = true;
  }
  if (record->hasLayeredContent && (newContent || (flags & ULW_ALPHA))) {
    record->layeredConstantAlpha = constantAlphaOf(blend, flags);
    platform::tellHost(*record, platform::WindowChange::layeredContent);
  }
  return TRUE;
}

}  // extern "C"

namespace platform {
namespace desktop {

std::unique_ptr<LayeredContent> layeredContent(HWND window) {
  Window* record = findWindowRecord(window);
  if (!record || !record->layeredSurface) {
    return nullptr;
  }
  const Surface& surface = *record->layeredSurface;
  std::unique_ptr<LayeredContent> content(new LayeredContent);
  content->width = surface.width();
  content->height = surface.height();
  content->constantAlpha = record->layeredConstantAlpha;
  for (int y = 0; y < surface.height(); ++y) {
    for (int x = 0; x < surface.width(); ++x) {
      content->pixels.push_back(surface.pixel(x, y));
    }
  }
  return content;
}

}  // namespace desktop
}  // namespace platform
