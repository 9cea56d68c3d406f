/* A shim preloaded into a presenter (LD_PRELOAD) that counts its waits for
 * the X server and its paints into the file TESSALINE_X_COUNTS names (an
 * XCounts, mapped shared, so the timing reads it while the presenter runs).
 * Without the variable, or when the file cannot be mapped, it only passes
 * the calls on. Each call goes to the next definition of its name. With
 * TESSALINE_X_REPLY_TRACE set, each round trip also writes its call stack
 * to standard error, to find out who asks. */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <X11/Xlibint.h>
#include <dlfcn.h>
#include <execinfo.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xcbext.h>

#include "XCounts.h"

static XCounts ignored;
static XCounts* counts = &ignored;
static int tracing;

__attribute__((constructor)) static void mapCounts(void) {
  tracing = getenv("TESSALINE_X_REPLY_TRACE") != NULL;
  const char* path = getenv("TESSALINE_X_COUNTS");
  if (!path) {
    return;
  }
  int file = open(path, O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (file < 0) {
    return;
  }
  if (ftruncate(file, sizeof(XCounts)) == 0) {
    void* mapped = mmap(NULL, sizeof(XCounts), PROT_READ | PROT_WRITE, MAP_SHARED, file, 0);
    if (mapped != MAP_FAILED) {
      counts = mapped;
    }
  }
  close(file);
}

static void* next(const char* name) { return dlsym(RTLD_NEXT, name); }

Status _XReply(Display* display, xReply* reply, int extra, Bool discard) {
  static Status (*real)(Display*, xReply*, int, Bool);
  if (!real) {
    real = (Status(*)(Display*, xReply*, int, Bool))next("_XReply");
  }
  __atomic_add_fetch(&counts->roundTrips, 1, __ATOMIC_RELAXED);
  if (tracing) {
    void* frames[16];
    int depth = backtrace(frames, 16);
    write(2, "--- _XReply\n", 12);
    backtrace_symbols_fd(frames + 1, depth - 1, 2);
  }
  return real(display, reply, extra, discard);
}

void* xcb_wait_for_reply(xcb_connection_t* connection, unsigned int request, xcb_generic_error_t** error) {
  static void* (*real)(xcb_connection_t*, unsigned int, xcb_generic_error_t**);
  if (!real) {
    real = (void* (*)(xcb_connection_t*, unsigned int, xcb_generic_error_t**))next("xcb_wait_for_reply");
  }
  __atomic_add_fetch(&counts->xcbReplies, 1, __ATOMIC_RELAXED);
  /* A reply already read (one of many questions asked before any answer
   * was read) costs no wait: only a wait is a round trip. */
  void* reply = NULL;
  if (xcb_poll_for_reply(connection, request, &reply, error)) {
    return reply;
  }
  __atomic_add_fetch(&counts->roundTrips, 1, __ATOMIC_RELAXED);
  if (tracing) {
    void* frames[16];
    int depth = backtrace(frames, 16);
    write(2, "--- xcb_wait_for_reply\n", 23);
    backtrace_symbols_fd(frames + 1, depth - 1, 2);
  }
  return real(connection, request, error);
}

int XPutImage(Display* display, Drawable drawable, GC gc, XImage* image, int sourceX, int sourceY, int x, int y,
              unsigned int width, unsigned int height) {
  static int (*real)(Display*, Drawable, GC, XImage*, int, int, int, int, unsigned int, unsigned int);
  if (!real) {
    real = (int (*)(Display*, Drawable, GC, XImage*, int, int, int, int, unsigned int, unsigned int))next("XPutImage");
  }
  __atomic_add_fetch(&counts->imagePuts, 1, __ATOMIC_RELAXED);
  return real(display, drawable, gc, image, sourceX, sourceY, x, y, width, height);
}

/* cairo's own type stays opaque here: the shim needs no cairo headers. */
void cairo_paint_with_alpha(void* cairo, double alpha) {
  static void (*real)(void*, double);
  if (!real) {
    real = (void (*)(void*, double))next("cairo_paint_with_alpha");
  }
  __atomic_add_fetch(&counts->cairoPaints, 1, __ATOMIC_RELAXED);
  real(cairo, alpha);
}
