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

class MessageBoxes {
 public:
  explicit MessageBoxes(InputQueue& input) : input_(input) {}
  ~MessageBoxes();
  MessageBoxes(const MessageBoxes&) = delete;
  MessageBoxes& operator=(const MessageBoxes&) = delete;

  void open(const MessageBoxView& box);
  void closeInnermost();

 private:
  struct Open {
    GtkWidget* dialog;
    std::vector<int> buttons;
  };
  static void onResponse(GtkDialog* dialog, gint response, gpointer self);

  InputQueue& input_;
  std::vector<Open> open_;
};

}  // namespace gtk
}  // namespace platform
