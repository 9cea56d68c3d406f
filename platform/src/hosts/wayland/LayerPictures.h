// The desktop's visible layered top-level windows as layer-shell surfaces:
// each on the "bottom" layer (the "top" one while it is topmost), anchored
// at the top left of the output holding its top-left corner, its margins
// its place there, taking no keyboard and reserving no room. Painted from
// the desktop's own pixels, taking the mouse only where the desktop's rule
// says it does, shown and hidden as the desktop says.
#pragma once

#include "hosts/gtk/InputQueue.h"
#include "hosts/gtk/MotionPacing.h"
#include "hosts/wayland/HeldConfigures.h"
#include "hosts/wayland/PointerPath.h"

#include <gtk/gtk.h>

#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace platform {
namespace wayland {

class LayerPictures {
 public:
  LayerPictures(gtk::InputQueue& input, std::function<void(const GdkEvent*)> rememberTrigger);
  ~LayerPictures();
  LayerPictures(const LayerPictures&) = delete;
  LayerPictures& operator=(const LayerPictures&) = delete;

  void change(const WindowView& view, WindowChange change);

  // The native window of a desktop window, null when it has none.
  GdkWindow* nativeWindow(HWND window) const;

  // The screen: the box around every output.
  static GdkRectangle screen();

 private:
  struct Surface {
    LayerPictures* owner = nullptr;
    GtkWidget* widget = nullptr;
    HWND window = NULL;
    RECT rect = {};
    bool hasContent = false;
    LayeredContentView content = {};
    bool topmost = false;
    GdkMonitor* monitor = nullptr;
    int width = 0;
    int height = 0;
    bool painted = false;  // since it was last shown
    bool drawnUnsettled = false;  // drawn in a frame not yet waited for
    // Margins sent to the compositor past the layer shell library, which
    // still holds older ones.
    bool marginsAhead = false;
    POINT margins = {};
  };

  Surface& surfaceFor(const WindowView& view);
  void destroy(HWND window);
  void place(Surface& surface);
  static bool moveAtOnce(Surface& surface, POINT margins);
  static void catchUpMargins(Surface& surface);
  void shape(Surface& surface);
  void mapWhenIdle(Surface& surface);
  void forgetMap(HWND window);
  void restack(HWND window, HWND above);
  std::size_t depthOf(HWND window) const;
  void sortWaitingTopFirst();
  void settle();
  POINT pointerAt(Surface& surface, gdouble x, gdouble y, bool held);

  static void onRealize(GtkWidget* widget, gpointer surface);
  static void onAfterPaint(GdkFrameClock* clock, gpointer surface);
  static gboolean onDraw(GtkWidget* widget, cairo_t* cairo, gpointer surface);
  static gboolean onButton(GtkWidget* widget, GdkEventButton* event, gpointer surface);
  static gboolean onMotion(GtkWidget* widget, GdkEventMotion* event, gpointer surface);
  static void onMonitorsChanged(GdkDisplay* display, GdkMonitor* monitor, gpointer self);
  static gboolean mapWaiting(gpointer self);

  gtk::InputQueue& input_;
  std::function<void(const GdkEvent*)> rememberTrigger_;
  std::map<HWND, std::unique_ptr<Surface>> surfaces_;
  std::vector<HWND> order_;  // every window told of, top first
  // Shown since the program last waited, mapped together once it waits.
  std::vector<HWND> waitingToMap_;
  bool waitingSorted_ = true;
  guint mapSource_ = 0;
  PointerPath pointer_;
  // Each move of a picture has sway configure every surface of its layer
  // again, and the answers cost more than the move: a drag's motions go
  // on at most once a frame. The display is read meanwhile: a move is
  // committed only when sway's frame callback has been read from it
  // (holding it put a frame on a drag's delay: median 14 -> 22 ms).
  gtk::MotionPacing motion_;
  HeldConfigures configures_;
  // Configures sway may have sent since the program last read them all.
  std::size_t unreadAnswers_ = 0;
};

}  // namespace wayland
}  // namespace platform
