#include "FloorPictures.h"

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char* attributeOf(const char* element, const char* end, const char* name, char* value, size_t size) {
  size_t length = strlen(name);
  for (const char* at = element; at + length + 2 < end; ++at) {
    if ((at[-1] == ' ' || at[-1] == '\t' || at[-1] == '\n') && strncmp(at, name, length) == 0 && at[length] == '=' &&
        (at[length + 1] == '"' || at[length + 1] == '\'')) {
      char quote = at[length + 1];
      const char* start = at + length + 2;
      const char* stop = memchr(start, quote, (size_t)(end - start));
      if (!stop || (size_t)(stop - start) >= size) {
        return NULL;
      }
      memcpy(value, start, (size_t)(stop - start));
      value[stop - start] = '\0';
      return value;
    }
  }
  return NULL;
}

int readSettings(const char* program, const char* directory, Setting** settings) {
  char path[PATH_MAX];
  snprintf(path, sizeof path, "%s/config.xml", directory);
  gchar* text = NULL;
  gsize length = 0;
  *settings = NULL;
  if (!g_file_get_contents(path, &text, &length, NULL)) {
    fprintf(stderr, "%s: cannot read %s\n", program, path);
    return 0;
  }
  *settings = calloc(kMostPictures, sizeof(Setting));
  int count = 0;
  for (const char* at = strstr(text, "<image"); at && count < kMostPictures; at = strstr(at + 1, "<image")) {
    const char* end = strchr(at, '>');
    if (!end) {
      break;
    }
    char value[PATH_MAX];
    Setting* setting = &(*settings)[count];
    const char* numbers[] = {"x", "y", "w", "h"};
    int* fields[] = {&setting->x, &setting->y, &setting->width, &setting->height};
    int complete = 1;
    for (int index = 0; index < 4; ++index) {
      complete = complete && attributeOf(at, end, numbers[index], value, sizeof value);
      *fields[index] = complete ? atoi(value) : 0;
    }
    setting->color = attributeOf(at, end, "color", value, sizeof value) ? (uint32_t)strtoul(value, NULL, 0)
                                                                         : 0xFFFFFFFFu;
    if (!complete || !attributeOf(at, end, "path", value, sizeof value) || setting->width <= 0 ||
        setting->height <= 0) {
      continue;
    }
    int written = value[0] == '/' ? snprintf(setting->path, sizeof setting->path, "%s", value)
                                  : snprintf(setting->path, sizeof setting->path, "%s/%s", directory, value);
    if (written < 0 || (size_t)written >= sizeof setting->path) {
      continue;
    }
    ++count;
  }
  g_free(text);
  return count;
}

int paintPicture(const char* program, const Setting* setting, uint32_t* pixels) {
  GdkPixbuf* decoded = gdk_pixbuf_new_from_file(setting->path, NULL);
  if (!decoded) {
    fprintf(stderr, "%s: cannot decode %s\n", program, setting->path);
    return 0;
  }
  GdkPixbuf* source = decoded;
  if (gdk_pixbuf_get_width(decoded) != setting->width || gdk_pixbuf_get_height(decoded) != setting->height) {
    source = gdk_pixbuf_scale_simple(decoded, setting->width, setting->height, GDK_INTERP_BILINEAR);
    g_object_unref(decoded);
  }
  int channels = gdk_pixbuf_get_n_channels(source);
  int stride = gdk_pixbuf_get_rowstride(source);
  const guchar* rows = gdk_pixbuf_read_pixels(source);
  /* (value × tint × alpha) / 255², as 0.32 fixed point of 1 / 255² */
  const uint64_t inverse = (1ull << 32) / 65025u;
  uint32_t red = setting->color >> 16 & 0xFF, green = setting->color >> 8 & 0xFF, blue = setting->color & 0xFF;
  for (int y = 0; y < setting->height; ++y) {
    const guchar* from = rows + (size_t)y * stride;
    uint32_t* to = pixels + (size_t)y * setting->width;
    for (int x = 0; x < setting->width; ++x, from += channels) {
      uint32_t alpha = channels == 4 ? from[3] : 255;
      uint32_t r = (uint32_t)(((uint64_t)from[0] * red * alpha * inverse + (1u << 31)) >> 32);
      uint32_t g = (uint32_t)(((uint64_t)from[1] * green * alpha * inverse + (1u << 31)) >> 32);
      uint32_t b = (uint32_t)(((uint64_t)from[2] * blue * alpha * inverse + (1u << 31)) >> 32);
      to[x] = alpha << 24 | r << 16 | g << 8 | b;
    }
  }
  g_object_unref(source);
  return 1;
}

int hitRectangles(const uint32_t* pixels, int width, int height, HitRectangle* rectangles) {
  int most = width / 2 + 1;
  HitRectangle* growing = malloc(sizeof(HitRectangle) * (size_t)most);
  HitRectangle* next = malloc(sizeof(HitRectangle) * (size_t)most);
  int done = 0, growingCount = 0;
  for (int y = 0; y <= height; ++y) {
    int nextCount = 0;
    const uint32_t* row = pixels + (size_t)y * width;
    for (int x = 0; y < height && x < width;) {
      while (x < width && (row[x] >> 24) == 0) {
        ++x;
      }
      int start = x;
      while (x < width && (row[x] >> 24) != 0) {
        ++x;
      }
      if (x == start) {
        continue;
      }
      HitRectangle run = {start, y, x - start, 1};
      for (int index = 0; index < growingCount; ++index) {
        if (growing[index].x == run.x && growing[index].width == run.width) {
          run = growing[index];
          ++run.height;
          growing[index] = growing[--growingCount];
          break;
        }
      }
      next[nextCount++] = run;
    }
    /* the runs that did not go on into this row are complete */
    memcpy(rectangles + done, growing, sizeof(HitRectangle) * (size_t)growingCount);
    done += growingCount;
    HitRectangle* swap = growing;
    growing = next;
    next = swap;
    growingCount = nextCount;
  }
  free(growing);
  free(next);
  return done;
}
