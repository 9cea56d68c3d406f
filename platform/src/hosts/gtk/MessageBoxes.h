// Message boxes as native dialogs. They are shown, never run: the program's
// own modal loop waits for the button, which a dialog's response queues.
// Nested boxes stack, each above the one below.
#pragma once

#include "hosts/gtk/InputQueue.h"

#include <gtk/gtk.h>

#include <vector>

namespace platform {
namespace gtk {

// What a box looks like natively: its kind from the MB_ICON bits, and each
// button's label.
GtkMessageType messageTypeOf(UINT type);
const char* buttonLabel(int button);

// The button closing the box stands for: Cancel where the box has one,
// else OK (a box with neither, Yes/No, cannot be closed).
int closingButton(const std::vector<int>& buttons);

// The answer a box gets when the program is ending: its closing button, or
// its last one where it cannot be closed (No of Yes/No).
int endingButton(const std::vector<int>& buttons);

class MessageBoxes {
 public:
  explicit MessageBoxes(InputQueue& input) : input_(input) {}
  ~MessageBoxes();
  MessageBoxes(const MessageBoxes&) = delete;
  MessageBoxes& operator=(const MessageBoxes&) = delete;

  void open(const MessageBoxView& box);
  void closeInnermost();

  // From now on every box is answered as its closing button would answer
  // it, the open ones first, innermost first; a box opened later is
  // answered at once, without being shown.
  void answerAllFromNowOn();

 private:
  struct Open {
    GtkWidget* dialog;  // null for a box answered without being shown
    std::vector<int> buttons;
  };
  static void onResponse(GtkDialog* dialog, gint response, gpointer self);
  static gboolean onKey(GtkWidget* dialog, GdkEventKey* event, gpointer self);
  void press(int button);

  InputQueue& input_;
  std::vector<Open> open_;
  bool answeringAll_ = false;
};

}  // namespace gtk
}  // namespace platform
