/* The floor the Linux program is measured against on Wayland: the same
 * visible work done with nothing but libwayland-client, wl_shm buffers,
 * the layer-shell protocol and the program's decoder.
 *
 *   wayland_floor_presenter -C DIRECTORY
 *
 * It reads DIRECTORY/config.xml (only the <image x y w h color path/>
 * elements of write_benchmark_pictures' settings), decodes each picture
 * with gdk-pixbuf, scales it to w × h, tints it by the colour's red, green
 * and blue (as the program does, so both put the same pixels on the
 * screen), and shows it as a layer surface of its own on the "bottom"
 * layer: anchored top and left, margins = its place, exclusive zone -1, no
 * keyboard, the input region its non-transparent pixels, one premultiplied
 * ARGB8888 shm buffer attached once. SIGHUP destroys every surface and
 * makes them anew from the file; a left-button drag moves a surface by the
 * pointer's travel; SIGTERM and SIGINT end it.
 *
 * Plain C and no toolkit on purpose: whatever the program spends beyond
 * this is the price of its layers. */
#define _GNU_SOURCE
#include <errno.h>
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <limits.h>
#include <linux/input-event-codes.h>
#include <poll.h>
#include <signal.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/signalfd.h>
#include <unistd.h>
#include <wayland-client.h>

#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#include "FloorPictures.h"

typedef struct Presenter Presenter;

typedef struct {
  Presenter* presenter;
  struct wl_surface* surface;
  struct zwlr_layer_surface_v1* layer;
  struct wl_buffer* buffer;
  uint32_t* pixels; /* premultiplied ARGB, in the pool's memory */
  int width, height;
  int left, top; /* the margins: its place on the output */
  int configured;
} Picture;

struct Presenter {
  struct wl_display* display;
  struct wl_compositor* compositor;
  struct wl_shm* shm;
  struct wl_seat* seat;
  struct wl_pointer* pointer;
  struct zwlr_layer_shell_v1* layerShell;
  struct wl_shm_pool* pool;
  void* memory;
  size_t memorySize;
  const char* directory;
  Picture* pictures;
  int count;
  /* the pointer: the surface it is over, and a drag of one picture */
  Picture* under;
  double pointerX, pointerY; /* surface-local, as the compositor last said */
  Picture* dragged;
  double pressX, pressY;
  int pressLeft, pressTop;
  int moved; /* the dragged picture's margins changed since the last commit */
};


/* --- pixels --- */

/* One memfd and one pool hold every picture's pixels: a file descriptor
 * a picture would be a hundred descriptors queued on the socket, more
 * than a compositor takes in one read. */
static int makePool(Presenter* presenter, const Setting* settings, int count) {
  size_t size = 0;
  for (int index = 0; index < count; ++index) {
    size += (size_t)settings[index].width * settings[index].height * 4;
  }
  presenter->memorySize = size > 0 ? size : 4;
  int file = memfd_create("wayland-floor-pictures", MFD_CLOEXEC);
  if (file < 0 || ftruncate(file, (off_t)presenter->memorySize) != 0 || presenter->memorySize > INT32_MAX) {
    if (file >= 0) {
      close(file);
    }
    return 0;
  }
  presenter->memory = mmap(NULL, presenter->memorySize, PROT_READ | PROT_WRITE, MAP_SHARED, file, 0);
  if (presenter->memory == MAP_FAILED) {
    presenter->memory = NULL;
    close(file);
    return 0;
  }
  presenter->pool = wl_shm_create_pool(presenter->shm, file, (int32_t)presenter->memorySize);
  close(file);
  return 1;
}

static void makeBuffer(Presenter* presenter, Picture* picture, size_t offset) {
  picture->pixels = (uint32_t*)((char*)presenter->memory + offset);
  picture->buffer = wl_shm_pool_create_buffer(presenter->pool, (int32_t)offset, picture->width, picture->height,
                                              picture->width * 4, WL_SHM_FORMAT_ARGB8888);
}

/* The pixels that take the pointer, as the input region. */
static void shapeInput(Presenter* presenter, Picture* picture) {
  int most = picture->width * picture->height / 2 + 1;
  HitRectangle* hits = malloc(sizeof(HitRectangle) * (size_t)most);
  int count = hitRectangles(picture->pixels, picture->width, picture->height, hits);
  struct wl_region* region = wl_compositor_create_region(presenter->compositor);
  for (int index = 0; index < count; ++index) {
    wl_region_add(region, hits[index].x, hits[index].y, hits[index].width, hits[index].height);
  }
  wl_surface_set_input_region(picture->surface, region);
  wl_region_destroy(region);
  free(hits);
}

/* --- layer surfaces --- */

static void layerConfigured(void* data, struct zwlr_layer_surface_v1* layer, uint32_t serial, uint32_t width,
                            uint32_t height) {
  (void)width;
  (void)height;
  Picture* picture = data;
  zwlr_layer_surface_v1_ack_configure(layer, serial);
  /* sway configures every surface of the layer again whenever one comes
   * or goes, always at the size asked for: only the first needs a commit,
   * the next commit carries the newest ack */
  if (!picture->configured) {
    wl_surface_attach(picture->surface, picture->buffer, 0, 0);
    wl_surface_damage(picture->surface, 0, 0, picture->width, picture->height);
    wl_surface_commit(picture->surface);
    picture->configured = 1;
  }
}

static void layerClosed(void* data, struct zwlr_layer_surface_v1* layer) {
  (void)data;
  (void)layer;
}

static const struct zwlr_layer_surface_v1_listener kLayerListener = {layerConfigured, layerClosed};

static void placePicture(Picture* picture) {
  zwlr_layer_surface_v1_set_margin(picture->layer, picture->top, 0, 0, picture->left);
}

static int showPicture(Presenter* presenter, Picture* picture, const Setting* setting, size_t offset) {
  memset(picture, 0, sizeof *picture);
  picture->presenter = presenter;
  picture->width = setting->width;
  picture->height = setting->height;
  picture->left = setting->x;
  picture->top = setting->y;
  makeBuffer(presenter, picture, offset);
  if (!paintPicture("wayland_floor_presenter", setting, picture->pixels)) {
    wl_buffer_destroy(picture->buffer);
    return 0;
  }
  picture->surface = wl_compositor_create_surface(presenter->compositor);
  wl_surface_set_user_data(picture->surface, picture);
  picture->layer = zwlr_layer_shell_v1_get_layer_surface(presenter->layerShell, picture->surface, NULL,
                                                         ZWLR_LAYER_SHELL_V1_LAYER_BOTTOM, "wayland-floor");
  zwlr_layer_surface_v1_add_listener(picture->layer, &kLayerListener, picture);
  zwlr_layer_surface_v1_set_size(picture->layer, (uint32_t)picture->width, (uint32_t)picture->height);
  zwlr_layer_surface_v1_set_anchor(picture->layer,
                                   ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT);
  zwlr_layer_surface_v1_set_exclusive_zone(picture->layer, -1);
  zwlr_layer_surface_v1_set_keyboard_interactivity(picture->layer,
                                                   ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_NONE);
  placePicture(picture);
  shapeInput(presenter, picture);
  /* the first commit carries no buffer: the configure that answers it does */
  wl_surface_commit(picture->surface);
  return 1;
}

/* Sends what is queued, waiting while the compositor's side of the socket
 * is full: the client library gives up on a request that finds its own
 * buffer full and the socket too. */
static void flushAll(struct wl_display* display) {
  while (wl_display_flush(display) < 0 && errno == EAGAIN) {
    struct pollfd writable = {wl_display_get_fd(display), POLLOUT, 0};
    poll(&writable, 1, -1);
  }
}

/* Handles what the compositor sent meanwhile, without waiting: sway
 * configures every layer surface again each time one is added, and stops
 * talking to a client whose socket that fills. */
static void handleWaiting(struct wl_display* display) {
  while (wl_display_prepare_read(display) != 0) {
    wl_display_dispatch_pending(display);
  }
  struct pollfd readable = {wl_display_get_fd(display), POLLIN, 0};
  if (poll(&readable, 1, 0) > 0) {
    wl_display_read_events(display);
  } else {
    wl_display_cancel_read(display);
  }
  wl_display_dispatch_pending(display);
}

static void showPictures(Presenter* presenter) {
  Setting* settings = NULL;
  int count = readSettings("wayland_floor_presenter", presenter->directory, &settings);
  presenter->pictures = calloc(count > 0 ? (size_t)count : 1, sizeof(Picture));
  presenter->count = 0;
  if (!makePool(presenter, settings, count)) {
    fprintf(stderr, "wayland_floor_presenter: no memory for the pictures\n");
    free(settings);
    return;
  }
  size_t offset = 0;
  for (int index = 0; index < count; ++index) {
    presenter->count += showPicture(presenter, &presenter->pictures[presenter->count], &settings[index], offset);
    offset += (size_t)settings[index].width * settings[index].height * 4;
    flushAll(presenter->display);
    handleWaiting(presenter->display);
  }
  free(settings);
}

static void destroyPictures(Presenter* presenter) {
  for (int index = 0; index < presenter->count; ++index) {
    Picture* picture = &presenter->pictures[index];
    zwlr_layer_surface_v1_destroy(picture->layer);
    wl_surface_destroy(picture->surface);
    wl_buffer_destroy(picture->buffer);
  }
  if (presenter->pool) {
    wl_shm_pool_destroy(presenter->pool);
    munmap(presenter->memory, presenter->memorySize);
    presenter->pool = NULL;
    presenter->memory = NULL;
  }
  free(presenter->pictures);
  presenter->pictures = NULL;
  presenter->count = 0;
  presenter->under = NULL;
  presenter->dragged = NULL;
  /* off the screen now, not once the new ones are decoded */
  flushAll(presenter->display);
}

/* --- the pointer --- */

static Picture* pictureOf(Presenter* presenter, struct wl_surface* surface) {
  for (int index = 0; surface && index < presenter->count; ++index) {
    if (presenter->pictures[index].surface == surface) {
      return &presenter->pictures[index];
    }
  }
  return NULL;
}

static void pointerEntered(void* data, struct wl_pointer* pointer, uint32_t serial, struct wl_surface* surface,
                           wl_fixed_t x, wl_fixed_t y) {
  (void)pointer;
  (void)serial;
  Presenter* presenter = data;
  presenter->under = pictureOf(presenter, surface);
  presenter->pointerX = wl_fixed_to_double(x);
  presenter->pointerY = wl_fixed_to_double(y);
}

static void pointerLeft(void* data, struct wl_pointer* pointer, uint32_t serial, struct wl_surface* surface) {
  (void)pointer;
  (void)serial;
  (void)surface;
  Presenter* presenter = data;
  presenter->under = NULL;
}

/* The compositor gives surface-local places relative to where the surface
 * was at the press for as long as the button is held, so the margins
 * follow the travel since the press. */
static void pointerMoved(void* data, struct wl_pointer* pointer, uint32_t time, wl_fixed_t x, wl_fixed_t y) {
  (void)pointer;
  (void)time;
  Presenter* presenter = data;
  presenter->pointerX = wl_fixed_to_double(x);
  presenter->pointerY = wl_fixed_to_double(y);
  Picture* dragged = presenter->dragged;
  if (dragged) {
    int left = presenter->pressLeft + (int)(presenter->pointerX - presenter->pressX);
    int top = presenter->pressTop + (int)(presenter->pointerY - presenter->pressY);
    if (left != dragged->left || top != dragged->top) {
      dragged->left = left;
      dragged->top = top;
      presenter->moved = 1;
    }
  }
}

static void buttonChanged(void* data, struct wl_pointer* pointer, uint32_t serial, uint32_t time, uint32_t button,
                          uint32_t state) {
  (void)pointer;
  (void)serial;
  (void)time;
  Presenter* presenter = data;
  if (button != BTN_LEFT) {
    return;
  }
  if (state == WL_POINTER_BUTTON_STATE_PRESSED && presenter->under) {
    presenter->dragged = presenter->under;
    presenter->pressX = presenter->pointerX;
    presenter->pressY = presenter->pointerY;
    presenter->pressLeft = presenter->under->left;
    presenter->pressTop = presenter->under->top;
  } else if (state == WL_POINTER_BUTTON_STATE_RELEASED) {
    presenter->dragged = NULL;
  }
}

static void pointerScrolled(void* data, struct wl_pointer* pointer, uint32_t time, uint32_t axis,
                            wl_fixed_t value) {
  (void)data;
  (void)pointer;
  (void)time;
  (void)axis;
  (void)value;
}

/* Bound at version 2: none of the later events. */
static const struct wl_pointer_listener kPointerListener = {
    .enter = pointerEntered, .leave = pointerLeft, .motion = pointerMoved, .button = buttonChanged,
    .axis = pointerScrolled};

static void seatCapabilities(void* data, struct wl_seat* seat, uint32_t capabilities) {
  Presenter* presenter = data;
  if ((capabilities & WL_SEAT_CAPABILITY_POINTER) && !presenter->pointer) {
    presenter->pointer = wl_seat_get_pointer(seat);
    wl_pointer_add_listener(presenter->pointer, &kPointerListener, presenter);
  }
}

static void seatNamed(void* data, struct wl_seat* seat, const char* name) {
  (void)data;
  (void)seat;
  (void)name;
}

static const struct wl_seat_listener kSeatListener = {seatCapabilities, seatNamed};

/* --- globals --- */

static void announced(void* data, struct wl_registry* registry, uint32_t name, const char* interface,
                      uint32_t version) {
  Presenter* presenter = data;
  if (strcmp(interface, wl_compositor_interface.name) == 0) {
    presenter->compositor = wl_registry_bind(registry, name, &wl_compositor_interface, 4);
  } else if (strcmp(interface, wl_shm_interface.name) == 0) {
    presenter->shm = wl_registry_bind(registry, name, &wl_shm_interface, 1);
  } else if (strcmp(interface, wl_seat_interface.name) == 0 && !presenter->seat) {
    presenter->seat = wl_registry_bind(registry, name, &wl_seat_interface, version < 2 ? version : 2);
    wl_seat_add_listener(presenter->seat, &kSeatListener, presenter);
  } else if (strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0) {
    presenter->layerShell = wl_registry_bind(registry, name, &zwlr_layer_shell_v1_interface, 1);
  }
}

static void withdrawn(void* data, struct wl_registry* registry, uint32_t name) {
  (void)data;
  (void)registry;
  (void)name;
}

static const struct wl_registry_listener kRegistryListener = {announced, withdrawn};

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

/* The motions of one batch of events move the picture once. */
static void commitMove(Presenter* presenter) {
  if (presenter->moved && presenter->dragged) {
    placePicture(presenter->dragged);
    wl_surface_commit(presenter->dragged->surface);
  }
  presenter->moved = 0;
}

int main(int argc, char** argv) {
  if (argc != 3 || strcmp(argv[1], "-C") != 0) {
    fprintf(stderr, "usage: wayland_floor_presenter -C DIRECTORY\n");
    return 2;
  }
  int signals = signalsFile();
  Presenter presenter = {0};
  presenter.directory = argv[2];
  presenter.display = wl_display_connect(NULL);
  if (!presenter.display) {
    fprintf(stderr, "wayland_floor_presenter: cannot connect to the Wayland display\n");
    return 1;
  }
  struct wl_registry* registry = wl_display_get_registry(presenter.display);
  wl_registry_add_listener(registry, &kRegistryListener, &presenter);
  wl_display_roundtrip(presenter.display);
  if (!presenter.compositor || !presenter.shm || !presenter.layerShell) {
    fprintf(stderr, "wayland_floor_presenter: the compositor offers no wl_compositor, wl_shm or layer shell\n");
    return 1;
  }
  showPictures(&presenter);

  int running = 1;
  while (running) {
    while (wl_display_prepare_read(presenter.display) != 0) {
      wl_display_dispatch_pending(presenter.display);
    }
    commitMove(&presenter);
    flushAll(presenter.display);
    struct pollfd wanted[] = {{wl_display_get_fd(presenter.display), POLLIN, 0}, {signals, POLLIN, 0}};
    if (poll(wanted, 2, -1) < 0 && errno != EINTR) {
      wl_display_cancel_read(presenter.display);
      break;
    }
    if (wanted[0].revents & POLLIN) {
      if (wl_display_read_events(presenter.display) != 0) {
        break;
      }
    } else {
      wl_display_cancel_read(presenter.display);
    }
    if (wanted[0].revents & (POLLERR | POLLHUP)) {
      break;
    }
    wl_display_dispatch_pending(presenter.display);
    commitMove(&presenter);
    if (wanted[1].revents & POLLIN) {
      running = handleSignal(&presenter, signals);
    }
  }
  int failed = wl_display_get_error(presenter.display) != 0;
  if (failed) {
    fprintf(stderr, "wayland_floor_presenter: the connection to the compositor failed\n");
  } else {
    destroyPictures(&presenter);
  }
  wl_display_disconnect(presenter.display);
  return failed;
}
