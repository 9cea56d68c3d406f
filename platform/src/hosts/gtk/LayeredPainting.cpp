#include "hosts/gtk/LayeredPainting.h"

#include "hosts/gtk/InputShape.h"

namespace platform {
namespace gtk {

void paintLayered(cairo_t* cairo, const LayeredContentView* content) {
  cairo_set_operator(cairo, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_rgba(cairo, 0, 0, 0, 0);
  cairo_paint(cairo);
  if (!content || content->width < 1 || content->height < 1) {
    return;
  }
  cairo_surface_t* surface = cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char*>(const_cast<std::uint32_t*>(content->pixels)), CAIRO_FORMAT_ARGB32,
      content->width, content->height, content->stride);
  cairo_set_operator(cairo, CAIRO_OPERATOR_OVER);
  cairo_set_source_surface(cairo, surface, 0, 0);
  cairo_paint_with_alpha(cairo, content->constantAlpha / 255.0);
  cairo_surface_destroy(surface);
}

cairo_region_t* hitRegion(const LayeredContentView* content) {
  if (!content) {
    return cairo_region_create();
  }
  std::vector<ShapeRectangle> rectangles = hitRectangles(*content);
  static_assert(sizeof(ShapeRectangle) == sizeof(cairo_rectangle_int_t), "the same four ints");
  return cairo_region_create_rectangles(reinterpret_cast<const cairo_rectangle_int_t*>(rectangles.data()),
                                        static_cast<int>(rectangles.size()));
}

MouseButton mouseButtonOf(guint button) {
  switch (button) {
    case 3:
      return MouseButton::right;
    case 2:
      return MouseButton::middle;
    default:
      return MouseButton::left;
  }
}

}  // namespace gtk
}  // namespace platform
