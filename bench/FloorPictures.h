/* What both floor presenters (bench/x11, bench/wayland) do alike: read the
 * benchmark's config.xml, make each picture's premultiplied pixels with the
 * program's decoder, and find the pixels that take the pointer. */
#ifndef FLOOR_PICTURES_H
#define FLOOR_PICTURES_H

#include <limits.h>
#include <stdint.h>

typedef struct {
  int x, y, width, height;
  uint32_t color;
  char path[PATH_MAX];
} Setting;

enum { kMostPictures = 4096 };

typedef struct {
  int x, y, width, height;
} HitRectangle;

/* The <image> elements with a place, a size above 0 and a path (relative
 * to `directory`), at most kMostPictures; none when the file cannot be read.
 * `program` names the caller in its messages. *settings is the caller's to
 * free. */
int readSettings(const char* program, const char* directory, Setting** settings);

/* The picture decoded, scaled by gdk-pixbuf (bilinear: the fastest here of
 * what was tried, against one fused pass of our own), tinted and
 * premultiplied into `pixels` (width × height, rows of width); 0 when it
 * cannot be decoded. */
int paintPicture(const char* program, const Setting* setting, uint32_t* pixels);

/* The pixels whose alpha is above 0: runs of each row, equal runs of
 * consecutive rows merged into one taller rectangle. `rectangles` holds
 * width × height / 2 + 1; returns how many. */
int hitRectangles(const uint32_t* pixels, int width, int height, HitRectangle* rectangles);

#endif
