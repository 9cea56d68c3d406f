#include "WaylandConnection.h"

#include <linux/input-event-codes.h>
#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

#include "ChildProcess.h"
#include "wlr-screencopy-unstable-v1-client-protocol.h"
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

namespace waylandtiming {

using desktoptiming::now;

WaylandConnection::WaylandConnection(int outputWidth, int outputHeight)
    : display_(wl_display_connect(nullptr)), outputWidth_(outputWidth), outputHeight_(outputHeight) {
  if (!display_) {
    throw std::runtime_error("cannot connect to the Wayland display");
  }
  static const wl_registry_listener listener{announced, withdrawn};
  registry_ = wl_display_get_registry(display_);
  wl_registry_add_listener(registry_, &listener, this);
  wl_display_roundtrip(display_);
  if (!shm_ || !output_ || !seat_ || !screencopy_ || !pointerManager_) {
    wl_display_disconnect(display_);
    throw std::runtime_error("the compositor offers no wl_shm, wl_output, wl_seat, screencopy or virtual pointer");
  }
  pointer_ = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(pointerManager_, seat_);
  wl_display_roundtrip(display_);
}

WaylandConnection::~WaylandConnection() {
  if (pending_) {
    zwlr_screencopy_frame_v1_destroy(pending_);
  }
  if (buffer_) {
    wl_buffer_destroy(buffer_);
    munmap(memory_, memorySize_);
  }
  zwlr_virtual_pointer_v1_destroy(pointer_);
  zwlr_virtual_pointer_manager_v1_destroy(pointerManager_);
  zwlr_screencopy_manager_v1_destroy(screencopy_);
  wl_seat_destroy(seat_);
  wl_output_destroy(output_);
  wl_shm_destroy(shm_);
  wl_registry_destroy(registry_);
  wl_display_disconnect(display_);
}

void WaylandConnection::announced(void* data, wl_registry* registry, uint32_t name, const char* interface,
                                  uint32_t) {
  auto* self = static_cast<WaylandConnection*>(data);
  auto bind = [&](const wl_interface* wanted) { return wl_registry_bind(registry, name, wanted, 1); };
  if (std::strcmp(interface, wl_shm_interface.name) == 0) {
    self->shm_ = static_cast<wl_shm*>(bind(&wl_shm_interface));
  } else if (std::strcmp(interface, wl_output_interface.name) == 0 && !self->output_) {
    self->output_ = static_cast<wl_output*>(bind(&wl_output_interface));
  } else if (std::strcmp(interface, wl_seat_interface.name) == 0 && !self->seat_) {
    self->seat_ = static_cast<wl_seat*>(bind(&wl_seat_interface));
  } else if (std::strcmp(interface, zwlr_screencopy_manager_v1_interface.name) == 0) {
    self->screencopy_ = static_cast<zwlr_screencopy_manager_v1*>(bind(&zwlr_screencopy_manager_v1_interface));
  } else if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
    self->pointerManager_ =
        static_cast<zwlr_virtual_pointer_manager_v1*>(bind(&zwlr_virtual_pointer_manager_v1_interface));
  }
}

// --- the screen ---

void WaylandConnection::requestFrame(const Box& box) {
  static const zwlr_screencopy_frame_v1_listener listener{bufferOffered, flagsGiven, frameReady, frameFailed,
                                                          nullptr, nullptr, nullptr};
  if (pending_) {
    throw std::logic_error("a frame is already on its way");
  }
  requested_ = box;
  failed_ = false;
  yInverted_ = false;
  pending_ = zwlr_screencopy_manager_v1_capture_output_region(screencopy_, 0, output_, box.x, box.y, box.width,
                                                              box.height);
  zwlr_screencopy_frame_v1_add_listener(pending_, &listener, this);
  wl_display_flush(display_);
}

bool WaylandConnection::pump(double seconds) {
  wl_display_dispatch_pending(display_);
  if (!pending_) {
    return true;
  }
  while (wl_display_prepare_read(display_) != 0) {
    wl_display_dispatch_pending(display_);
  }
  wl_display_flush(display_);
  pollfd wanted = {wl_display_get_fd(display_), POLLIN, 0};
  if (poll(&wanted, 1, static_cast<int>(seconds * 1000)) > 0) {
    wl_display_read_events(display_);
  } else {
    wl_display_cancel_read(display_);
  }
  if (wl_display_dispatch_pending(display_) < 0) {
    throw std::runtime_error("the compositor closed the connection");
  }
  if (failed_) {
    throw std::runtime_error("the compositor failed a screen capture");
  }
  return pending_ == nullptr;
}

const Frame& WaylandConnection::capture(const Box& box) {
  requestFrame(box);
  double deadline = now() + 10;
  while (!pump(0.1)) {
    if (now() > deadline) {
      throw std::runtime_error("no frame of the screen came within 10 s");
    }
  }
  return frame_;
}

void WaylandConnection::makeBuffer(uint32_t format, int width, int height, int stride) {
  std::size_t size = static_cast<std::size_t>(stride) * height;
  if (buffer_ && format == format_ && stride == stride_ && width == bufferWidth_ && height == bufferHeight_) {
    return;
  }
  if (buffer_) {
    wl_buffer_destroy(buffer_);
    munmap(memory_, memorySize_);
    buffer_ = nullptr;
  }
  int file = memfd_create("wayland-timing-frame", MFD_CLOEXEC);
  if (file < 0 || ftruncate(file, static_cast<off_t>(size)) != 0) {
    throw std::runtime_error("no memory for a screen capture");
  }
  memory_ = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, file, 0);
  if (memory_ == MAP_FAILED) {
    close(file);
    throw std::runtime_error("cannot map a screen capture's memory");
  }
  wl_shm_pool* pool = wl_shm_create_pool(shm_, file, static_cast<int32_t>(size));
  buffer_ = wl_shm_pool_create_buffer(pool, 0, width, height, stride, format);
  wl_shm_pool_destroy(pool);
  close(file);
  memorySize_ = size;
  format_ = format;
  stride_ = stride;
  bufferWidth_ = width;
  bufferHeight_ = height;
}

// Only the 32-bit formats with red, green and blue in these places: what
// wlroots offers for its pixman and GLES renderers.
void WaylandConnection::bufferOffered(void* data, zwlr_screencopy_frame_v1* frame, uint32_t format, uint32_t width,
                                      uint32_t height, uint32_t stride) {
  auto* self = static_cast<WaylandConnection*>(data);
  if (format != WL_SHM_FORMAT_ARGB8888 && format != WL_SHM_FORMAT_XRGB8888 &&
      format != WL_SHM_FORMAT_ABGR8888 && format != WL_SHM_FORMAT_XBGR8888) {
    self->failed_ = true;
    return;
  }
  self->makeBuffer(format, static_cast<int>(width), static_cast<int>(height), static_cast<int>(stride));
  zwlr_screencopy_frame_v1_copy(frame, self->buffer_);
}

void WaylandConnection::flagsGiven(void* data, zwlr_screencopy_frame_v1*, uint32_t flags) {
  static_cast<WaylandConnection*>(data)->yInverted_ = (flags & ZWLR_SCREENCOPY_FRAME_V1_FLAGS_Y_INVERT) != 0;
}

// The time is the compositor's CLOCK_MONOTONIC, which is now()'s clock.
void WaylandConnection::frameReady(void* data, zwlr_screencopy_frame_v1*, uint32_t secondsHigh,
                                   uint32_t secondsLow, uint32_t nanoseconds) {
  auto* self = static_cast<WaylandConnection*>(data);
  double seconds = static_cast<double>((static_cast<uint64_t>(secondsHigh) << 32) | secondsLow);
  self->finishFrame(seconds + nanoseconds / 1e9);
}

void WaylandConnection::frameFailed(void* data, zwlr_screencopy_frame_v1*) {
  static_cast<WaylandConnection*>(data)->failed_ = true;
}

void WaylandConnection::finishFrame(double presentedAt) {
  zwlr_screencopy_frame_v1_destroy(pending_);
  pending_ = nullptr;
  // The compositor's buffer size rules: on a scaled output it differs.
  frame_.box = Box{requested_.x, requested_.y, bufferWidth_, bufferHeight_};
  frame_.presentedAt = presentedAt;
  frame_.memory = static_cast<const unsigned char*>(memory_);
  frame_.stride = stride_;
  frame_.yInverted = yInverted_;
  frame_.blueFirst = format_ == WL_SHM_FORMAT_ABGR8888 || format_ == WL_SHM_FORMAT_XBGR8888;
}

// --- the pointer ---

void WaylandConnection::moveTo(int x, int y) {
  if (pointerX_ < 0) {
    jumpTo(x, y);
    return;
  }
  int steps = std::max(1, (std::max(std::abs(x - pointerX_), std::abs(y - pointerY_)) + 19) / 20);
  int fromX = pointerX_, fromY = pointerY_;
  for (int step = 1; step <= steps; ++step) {
    jumpTo(fromX + (x - fromX) * step / steps, fromY + (y - fromY) * step / steps);
  }
}

void WaylandConnection::jumpTo(int x, int y) {
  pointerX_ = x;
  pointerY_ = y;
  zwlr_virtual_pointer_v1_motion_absolute(pointer_, time_ += 1, static_cast<uint32_t>(x),
                                          static_cast<uint32_t>(y), static_cast<uint32_t>(outputWidth_),
                                          static_cast<uint32_t>(outputHeight_));
  zwlr_virtual_pointer_v1_frame(pointer_);
  flush();
}

void WaylandConnection::setLeftButton(bool down) {
  zwlr_virtual_pointer_v1_button(pointer_, time_ += 1, BTN_LEFT,
                                 down ? WL_POINTER_BUTTON_STATE_PRESSED : WL_POINTER_BUTTON_STATE_RELEASED);
  zwlr_virtual_pointer_v1_frame(pointer_);
  flush();
}

void WaylandConnection::flush() { wl_display_flush(display_); }

void WaylandConnection::roundTrip() {
  wl_display_roundtrip(display_);
}

}  // namespace waylandtiming
