/* The floor the Linux program is measured against: the same visible work
 * done with nothing but Xlib, XShape and the program's decoder.
 *
 *   floor_presenter -C DIRECTORY
 *
 * It reads DIRECTORY/config.xml (only the <image x y w h color path/>
 * elements of write_benchmark_pictures' settings), decodes each picture
 * with gdk-pixbuf, scales it to w × h, tints it by the colour's red, green
 * and blue, and shows it as a managed 32-bit ARGB window with the program's
 * window type, hints, place and input shape, painted with XPutImage from
 * the one premultiplied copy it keeps. SIGHUP destroys every window and
 * makes them anew from the file; a left-button drag moves a window by the
 * pointer's travel; SIGTERM and SIGINT end it.
 *
 * Plain C and no toolkit on purpose: whatever the program spends beyond
 * this is the price of its layers. */
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>
#include "FloorPictures.h"

#include <errno.h>
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <limits.h>
#include <poll.h>
#include <signal.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/signalfd.h>
#include <unistd.h>

typedef struct {
  Window window;
  XImage* image; /* premultiplied ARGB, the window's size */
} Picture;

typedef struct {
  Display* display;
  Window root;
  Visual* visual;
  Colormap colormap;
  GC gc;
  const char* directory;
  Picture* pictures;
  int count;
  /* the drag: one window at a time, as X's implicit grab gives it */
  Window dragged;
  int lastRootX, lastRootY;
  int windowX, windowY;
} Presenter;


/* --- pixels --- */

/* The window's own image, from the picture's premultiplied pixels. */
static XImage* pictureImage(Presenter* presenter, const Setting* setting) {
  uint32_t* pixels = malloc((size_t)setting->width * setting->height * 4);
  if (!paintPicture("floor_presenter", setting, pixels)) {
    free(pixels);
    return NULL;
  }
  return XCreateImage(presenter->display, presenter->visual, 32, ZPixmap, 0, (char*)pixels,
                      (unsigned)setting->width, (unsigned)setting->height, 32, setting->width * 4);
}

/* The pixels that take the mouse, as the input shape. */
static void shapeInput(Presenter* presenter, Window window, const XImage* image) {
  int most = image->width * image->height / 2 + 1;
  HitRectangle* hits = malloc(sizeof(HitRectangle) * (size_t)most);
  int count = hitRectangles((const uint32_t*)image->data, image->width, image->height, hits);
  XRectangle* rectangles = malloc(sizeof(XRectangle) * (size_t)(count > 0 ? count : 1));
  for (int index = 0; index < count; ++index) {
    rectangles[index] = (XRectangle){(short)hits[index].x, (short)hits[index].y, (unsigned short)hits[index].width,
                                     (unsigned short)hits[index].height};
  }
  XShapeCombineRectangles(presenter->display, window, ShapeInput, 0, 0, rectangles, count, ShapeSet, Unsorted);
  free(rectangles);
  free(hits);
}

/* --- windows --- */

static Atom atom(Display* display, const char* name) { return XInternAtom(display, name, False); }

/* What the program's windows tell the window manager: a utility window
 * without decorations or focus, off the taskbar and pager, of a fixed size
 * at the place the program gives. */
static void describeWindow(Presenter* presenter, Window window, const Setting* setting) {
  Display* display = presenter->display;
  XSizeHints* size = XAllocSizeHints();
  size->flags = PPosition | PMinSize | PMaxSize;
  size->x = setting->x;
  size->y = setting->y;
  size->min_width = size->max_width = setting->width;
  size->min_height = size->max_height = setting->height;
  XWMHints* hints = XAllocWMHints();
  hints->flags = InputHint | StateHint;
  hints->input = False;
  hints->initial_state = NormalState;
  XClassHint* names = XAllocClassHint();
  names->res_name = "floor_presenter";
  names->res_class = "Floor_presenter";
  char* title = "floor_presenter";
  XTextProperty titleProperty;
  XStringListToTextProperty(&title, 1, &titleProperty);
  XSetWMProperties(display, window, &titleProperty, &titleProperty, NULL, 0, size, hints, names);
  XFree(titleProperty.value);
  XFree(size);
  XFree(hints);
  XFree(names);

  unsigned long pid = (unsigned long)getpid();
  XChangeProperty(display, window, atom(display, "_NET_WM_PID"), XA_CARDINAL, 32, PropModeReplace,
                  (unsigned char*)&pid, 1);
  Atom type = atom(display, "_NET_WM_WINDOW_TYPE_UTILITY");
  XChangeProperty(display, window, atom(display, "_NET_WM_WINDOW_TYPE"), XA_ATOM, 32, PropModeReplace,
                  (unsigned char*)&type, 1);
  Atom state[] = {atom(display, "_NET_WM_STATE_SKIP_TASKBAR"), atom(display, "_NET_WM_STATE_SKIP_PAGER")};
  XChangeProperty(display, window, atom(display, "_NET_WM_STATE"), XA_ATOM, 32, PropModeReplace,
                  (unsigned char*)state, 2);
  unsigned long decorations[5] = {2, 0, 0, 0, 0}; /* decorations given: none */
  Atom motif = atom(display, "_MOTIF_WM_HINTS");
  XChangeProperty(display, window, motif, motif, 32, PropModeReplace, (unsigned char*)decorations, 5);
}

static void showPicture(Presenter* presenter, const Setting* setting) {
  XImage* image = pictureImage(presenter, setting);
  if (!image) {
    return;
  }
  XSetWindowAttributes attributes;
  attributes.colormap = presenter->colormap;
  attributes.border_pixel = 0;
  attributes.background_pixmap = None;
  attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | Button1MotionMask;
  Window window = XCreateWindow(presenter->display, presenter->root, setting->x, setting->y,
                                (unsigned)setting->width, (unsigned)setting->height, 0, 32, InputOutput,
                                presenter->visual, CWColormap | CWBorderPixel | CWBackPixmap | CWEventMask,
                                &attributes);
  describeWindow(presenter, window, setting);
  shapeInput(presenter, window, image);
  XMapWindow(presenter->display, window);
  Picture* picture = &presenter->pictures[presenter->count++];
  picture->window = window;
  picture->image = image;
  XFlush(presenter->display);
}

static void showPictures(Presenter* presenter) {
  Setting* settings = NULL;
  int count = readSettings("floor_presenter", presenter->directory, &settings);
  presenter->pictures = calloc(count > 0 ? (size_t)count : 1, sizeof(Picture));
  presenter->count = 0;
  for (int index = 0; index < count; ++index) {
    showPicture(presenter, &settings[index]);
  }
  free(settings);
}

static void destroyPictures(Presenter* presenter) {
  for (int index = 0; index < presenter->count; ++index) {
    XDestroyWindow(presenter->display, presenter->pictures[index].window);
    XDestroyImage(presenter->pictures[index].image);
  }
  free(presenter->pictures);
  presenter->pictures = NULL;
  presenter->count = 0;
  presenter->dragged = None;
  XFlush(presenter->display);
}

static Picture* pictureOf(Presenter* presenter, Window window) {
  for (int index = 0; index < presenter->count; ++index) {
    if (presenter->pictures[index].window == window) {
      return &presenter->pictures[index];
    }
  }
  return NULL;
}

/* --- input --- */

static void startDrag(Presenter* presenter, const XButtonEvent* press) {
  Window child;
  presenter->dragged = press->window;
  presenter->lastRootX = press->x_root;
  presenter->lastRootY = press->y_root;
  /* where the window is on the screen, frame or not */
  XTranslateCoordinates(presenter->display, press->window, presenter->root, 0, 0, &presenter->windowX,
                        &presenter->windowY, &child);
  XRaiseWindow(presenter->display, press->window);
}

/* Only the newest of the queued motions counts: the window goes where the
 * pointer is now. */
static void stepDrag(Presenter* presenter, XMotionEvent* motion) {
  XEvent later;
  while (XCheckTypedWindowEvent(presenter->display, motion->window, MotionNotify, &later)) {
    *motion = later.xmotion;
  }
  if (motion->window != presenter->dragged) {
    return;
  }
  presenter->windowX += motion->x_root - presenter->lastRootX;
  presenter->windowY += motion->y_root - presenter->lastRootY;
  presenter->lastRootX = motion->x_root;
  presenter->lastRootY = motion->y_root;
  XMoveWindow(presenter->display, motion->window, presenter->windowX, presenter->windowY);
}

static void handle(Presenter* presenter, XEvent* event) {
  switch (event->type) {
    case Expose: {
      Picture* picture = pictureOf(presenter, event->xexpose.window);
      if (picture && event->xexpose.count == 0) {
        XPutImage(presenter->display, picture->window, presenter->gc, picture->image, 0, 0, 0, 0,
                  (unsigned)picture->image->width, (unsigned)picture->image->height);
      }
      break;
    }
    case ButtonPress:
      if (event->xbutton.button == Button1) {
        startDrag(presenter, &event->xbutton);
      }
      break;
    case ButtonRelease:
      if (event->xbutton.button == Button1) {
        presenter->dragged = None;
      }
      break;
    case MotionNotify:
      stepDrag(presenter, &event->xmotion);
      break;
    default:
      break;
  }
}

/* --- the loop --- */

static int signalsFile(void) {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGHUP);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGINT);
  sigprocmask(SIG_BLOCK, &signals, NULL);
  return signalfd(-1, &signals, SFD_CLOEXEC);
}

/* Whether to go on: SIGHUP makes the pictures anew, the others end it. */
static int handleSignal(Presenter* presenter, int file) {
  struct signalfd_siginfo information;
  if (read(file, &information, sizeof information) != sizeof information) {
    return 1;
  }
  if (information.ssi_signo != SIGHUP) {
    return 0;
  }
  destroyPictures(presenter);
  showPictures(presenter);
  return 1;
}

int main(int argc, char** argv) {
  if (argc != 3 || strcmp(argv[1], "-C") != 0) {
    fprintf(stderr, "usage: floor_presenter -C DIRECTORY\n");
    return 2;
  }
  int signals = signalsFile();
  Presenter presenter = {0};
  presenter.directory = argv[2];
  presenter.display = XOpenDisplay(NULL);
  if (!presenter.display) {
    fprintf(stderr, "floor_presenter: cannot open the X display\n");
    return 1;
  }
  XVisualInfo visual;
  if (!XMatchVisualInfo(presenter.display, DefaultScreen(presenter.display), 32, TrueColor, &visual)) {
    fprintf(stderr, "floor_presenter: the screen has no 32-bit visual\n");
    return 1;
  }
  presenter.root = DefaultRootWindow(presenter.display);
  presenter.visual = visual.visual;
  presenter.colormap = XCreateColormap(presenter.display, presenter.root, visual.visual, AllocNone);
  Pixmap scratch = XCreatePixmap(presenter.display, presenter.root, 1, 1, 32);
  presenter.gc = XCreateGC(presenter.display, scratch, 0, NULL);
  XFreePixmap(presenter.display, scratch);
  showPictures(&presenter);

  int running = 1;
  while (running) {
    while (XPending(presenter.display) > 0) {
      XEvent event;
      XNextEvent(presenter.display, &event);
      handle(&presenter, &event);
    }
    XFlush(presenter.display);
    struct pollfd wanted[] = {{ConnectionNumber(presenter.display), POLLIN, 0}, {signals, POLLIN, 0}};
    if (poll(wanted, 2, -1) < 0 && errno != EINTR) {
      break;
    }
    if (wanted[1].revents & POLLIN) {
      running = handleSignal(&presenter, signals);
    }
    if (wanted[0].revents & (POLLERR | POLLHUP)) {
      break;
    }
  }
  destroyPictures(&presenter);
  XCloseDisplay(presenter.display);
  return 0;
}
