// The desktop's visible layered top-level windows as native windows: each
// painted from the desktop's own premultiplied pixels with its constant
// alpha, taking the mouse only where the desktop's rule says it does, and
// placed, stacked, shown and hidden as the desktop says.
//
// They are bare GDK windows, not GTK ones, and their events come to this
// class before GTK sees any: a GtkWindow asks the X server for the work
// area each time it guesses a default size (several times a window), and
// runs every motion of a drag through its widget machinery. A picture
// needs neither.
#pragma once

#include "hosts/gtk/InputQueue.h"
#include "hosts/gtk/MotionPacing.h"

#include <X11/Xlib.h>
#include <gtk/gtk.h>

#include <deque>
#include <map>
#include <memory>
#include <vector>

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
    GdkWindow* native = nullptr;
    GC gc = nullptr;
    int depth = 0;
    // Whether the window has a shape of its own (without a compositor).
    bool bounded = false;
    // Whether the window manager was last told to keep it above.
    bool keptAbove = false;
    HWND window = NULL;
    RECT rect = {};
    bool hasContent = false;
    LayeredContentView content = {};
    // Where the content takes the mouse, found once for each content: the
    // shapes are given again at every map.
    std::vector<XRectangle> hitShape;
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
    // Whether the window manager, taking the window on, reported it
    // somewhere else than asked: it ignores a place given before the map.
    bool placedElsewhere = false;
  };

  Native& nativeFor(const WindowView& view);
  static void takeContent(Native& native, const LayeredContentView* content);
  void realize(Native& native);
  void unrealize(Native& native);
  void destroy(HWND window);
  void place(Native& native);
  void requestMove(Native& native);
  void restack(Native& native, const WindowView& view);
  void restackAll();
  void keepAbove(Native& native, bool topmost);
  void shape(Native& native);
  void paint(Native& native, int x, int y, int width, int height);

  static void onEvent(GdkEvent* event, gpointer self);
  static GdkFilterReturn onPointerMotion(GdkXEvent* xevent, GdkEvent* event, gpointer self);
  static GdkFilterReturn onXEvent(GdkXEvent* xevent, GdkEvent* event, gpointer native);
  void onMap(Native& native);
  void onButton(Native& native, const GdkEventButton& event);
  void onMotion(Native& native, GdkEventMotion* event);
  void onGrabBroken(const GdkEventGrabBroken& event);
  void onConfigure(Native& native, const GdkEventConfigure& event);
  static void onCompositedChanged(GdkScreen* screen, gpointer self);

  InputQueue& input_;
  MotionPacing motion_;
  // The X input extension's requests' number: its motion events on a
  // picture are taken before GDK makes events of them.
  int xinputOpcode_ = 0;
  // What GTK takes a picture's events for while one of its own windows
  // holds a grab (a menu): a press there is a click outside the menu.
  GtkWidget* stranger_ = nullptr;
  std::function<void(const GdkEvent*)> rememberTrigger_;
  std::function<void()> remade_;
  std::map<HWND, std::unique_ptr<Native>> natives_;
  bool remaking_ = false;
  bool saidNoCompositor_ = false;
};

}  // namespace gtk
}  // namespace platform
