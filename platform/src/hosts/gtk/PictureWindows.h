// The desktop's visible layered top-level windows as native windows: each
// painted from the desktop's own premultiplied pixels with its constant
// alpha, taking the mouse only where the desktop's rule says it does, and
// placed, stacked, shown and hidden as the desktop says.
#pragma once

#include "hosts/gtk/InputQueue.h"

#include <gtk/gtk.h>

#include <deque>
#include <map>
#include <memory>

namespace platform {
namespace gtk {

class PictureWindows {
 public:
  // `remade` is called when the native windows were made anew (the
  // compositor came or went), so that a pointer grab on one is taken again.
  PictureWindows(InputQueue& input, std::function<void(const GdkEvent*)> rememberTrigger,
                 std::function<void()> remade);
  ~PictureWindows();
  PictureWindows(const PictureWindows&) = delete;
  PictureWindows& operator=(const PictureWindows&) = delete;

  void change(const WindowView& view, WindowChange change);

  // The native window of a desktop window, null when it has none.
  GdkWindow* nativeWindow(HWND window) const;

 private:
  struct Native {
    PictureWindows* owner = nullptr;
    GtkWidget* widget = nullptr;
    HWND window = NULL;
    RECT rect = {};
    bool hasContent = false;
    LayeredContentView content = {};
    // The desktop window right above it, and whether it is in the topmost
    // band, as last told.
    HWND above = NULL;
    bool topmost = false;
    // The places it was last asked to go, oldest first: the window
    // manager's answers come later.
    std::deque<POINT> requestedPlaces;
    // Whether it has been mapped and put in its place: before that, the
    // window manager's own placement is not the desktop's say.
    bool placed = false;
    // The size last asked of GTK: asking again, even for the same size,
    // makes GTK allocate and paint the window anew.
    int width = 0;
    int height = 0;
  };

  Native& nativeFor(const WindowView& view);
  void destroy(HWND window);
  void place(Native& native);
  void requestMove(Native& native);
  void restack(Native& native, const WindowView& view);
  void restackAll();
  void shape(Native& native);
  void useScreenVisual(Native& native);

  static gboolean onDraw(GtkWidget* widget, cairo_t* cairo, gpointer native);
  static gboolean onMap(GtkWidget* widget, GdkEvent* event, gpointer native);
  static gboolean onButton(GtkWidget* widget, GdkEventButton* event, gpointer native);
  static gboolean onMotion(GtkWidget* widget, GdkEventMotion* event, gpointer native);
  static gboolean onGrabBroken(GtkWidget* widget, GdkEvent* event, gpointer native);
  static gboolean onConfigure(GtkWidget* widget, GdkEventConfigure* event, gpointer native);
  static void onCompositedChanged(GdkScreen* screen, gpointer self);

  InputQueue& input_;
  std::function<void(const GdkEvent*)> rememberTrigger_;
  std::function<void()> remade_;
  std::map<HWND, std::unique_ptr<Native>> natives_;
  bool remaking_ = false;
  bool saidNoCompositor_ = false;
};

}  // namespace gtk
}  // namespace platform
