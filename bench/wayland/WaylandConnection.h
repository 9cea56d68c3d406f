// The timing program's own connection to the compositor: the screen's
// pixels through wlr-screencopy (one output, no cursor drawn in), and the
// seat's pointer through a virtual pointer, on one socket, so a drag can
// send motions and read frames in one loop without blocking on either.
#pragma once

#include <wayland-client.h>

#include <cstdint>
#include <cstring>
#include <vector>

struct zwlr_screencopy_manager_v1;
struct zwlr_screencopy_frame_v1;
struct zwlr_virtual_pointer_manager_v1;
struct zwlr_virtual_pointer_v1;

namespace waylandtiming {

struct Box {
  int x;
  int y;
  int width;
  int height;
};

// Pixels of a box of the output kept, 0xRRGGBB, rows top down.
struct Snapshot {
  Box box{};
  std::vector<std::uint32_t> pixels;
  std::uint32_t at(int x, int y) const {
    return pixels[static_cast<std::size_t>(y - box.y) * box.width + (x - box.x)];
  }
};

// One captured frame of a box of the output, read in place (until the
// next capture), and when the compositor presented it (seconds of now()).
struct Frame {
  Box box{};
  double presentedAt = 0;
  const unsigned char* memory = nullptr;
  int stride = 0;
  bool yInverted = false;
  bool blueFirst = false;
  // 0xRRGGBB at a point of the output inside the box.
  std::uint32_t at(int x, int y) const {
    int row = yInverted ? box.height - 1 - (y - box.y) : y - box.y;
    std::uint32_t pixel;
    std::memcpy(&pixel, memory + static_cast<std::size_t>(row) * stride + (x - box.x) * 4, 4);
    pixel &= 0xFFFFFF;
    return blueFirst ? (pixel & 0xFF) << 16 | (pixel & 0xFF00) | pixel >> 16 : pixel;
  }
  Snapshot snapshot() const {
    Snapshot kept{box, {}};
    for (int y = box.y; y < box.y + box.height; ++y) {
      for (int x = box.x; x < box.x + box.width; ++x) {
        kept.pixels.push_back(at(x, y));
      }
    }
    return kept;
  }
};

class WaylandConnection {
 public:
  // Connects to $WAYLAND_DISPLAY; throws when the compositor lacks an
  // output, wl_shm, screencopy or virtual pointers. Nothing reaches a
  // client of a headless sway until a virtual pointer exists.
  WaylandConnection(int outputWidth, int outputHeight);
  ~WaylandConnection();
  WaylandConnection(const WaylandConnection&) = delete;
  WaylandConnection& operator=(const WaylandConnection&) = delete;

  // Asks for the next frame of `box`; one capture at a time.
  void requestFrame(const Box& box);
  // Handles what the compositor sent within `seconds` (0: only what is
  // there); whether the requested frame has come.
  bool pump(double seconds);
  // The frame last come; throws when the compositor failed it.
  const Frame& frame() const { return frame_; }
  // Requests a frame and waits for it.
  const Frame& capture(const Box& box);

  // Absolute pointer moves, in steps of at most 20 pixels (GTK drops the
  // first motion after a press when the pointer jumps farther); sent
  // without waiting for the compositor.
  void moveTo(int x, int y);
  void setLeftButton(bool down);
  void flush();
  void roundTrip();

 private:
  static void announced(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version);
  static void withdrawn(void*, wl_registry*, uint32_t) {}
  static void bufferOffered(void* data, zwlr_screencopy_frame_v1* frame, uint32_t format, uint32_t width,
                            uint32_t height, uint32_t stride);
  static void flagsGiven(void* data, zwlr_screencopy_frame_v1* frame, uint32_t flags);
  static void frameReady(void* data, zwlr_screencopy_frame_v1* frame, uint32_t secondsHigh, uint32_t secondsLow,
                         uint32_t nanoseconds);
  static void frameFailed(void* data, zwlr_screencopy_frame_v1* frame);
  void jumpTo(int x, int y);
  void makeBuffer(uint32_t format, int width, int height, int stride);
  void finishFrame(double presentedAt);

  wl_display* display_;
  wl_registry* registry_ = nullptr;
  wl_shm* shm_ = nullptr;
  wl_output* output_ = nullptr;
  wl_seat* seat_ = nullptr;
  zwlr_screencopy_manager_v1* screencopy_ = nullptr;
  zwlr_virtual_pointer_manager_v1* pointerManager_ = nullptr;
  zwlr_virtual_pointer_v1* pointer_ = nullptr;
  int outputWidth_;
  int outputHeight_;
  int pointerX_ = -1;
  int pointerY_ = -1;
  uint32_t time_ = 0;

  // the capture in flight, into one shm buffer reused while its size fits
  zwlr_screencopy_frame_v1* pending_ = nullptr;
  bool failed_ = false;
  bool yInverted_ = false;
  uint32_t format_ = 0;
  int stride_ = 0;
  int bufferWidth_ = 0;
  int bufferHeight_ = 0;
  wl_buffer* buffer_ = nullptr;
  void* memory_ = nullptr;
  std::size_t memorySize_ = 0;
  Box requested_{};
  Frame frame_;
};

}  // namespace waylandtiming
