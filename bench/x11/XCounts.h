/* What the x_counts shim (XCounts.c) counts in a presenter it is preloaded
 * into, as the file named by TESSALINE_X_COUNTS holds it: a shared mapping
 * the timing reads while the presenter runs, so a span (a Reload, a drag)
 * is the difference of two reads. */
#ifndef TESSALINE_BENCH_X11_XCOUNTS_H
#define TESSALINE_BENCH_X11_XCOUNTS_H

#include <stdint.h>

typedef struct {
  uint64_t roundTrips;   /* waits for the server's answer: every _XReply (Xlib), and each
                          * xcb_wait_for_reply whose answer was not read yet */
  uint64_t xcbReplies;   /* answers taken through XCB directly, waited for or not */
  uint64_t imagePuts;    /* XPutImage: the floor's paint */
  uint64_t cairoPaints;  /* cairo_paint_with_alpha: the program's paint */
} XCounts;

#endif
