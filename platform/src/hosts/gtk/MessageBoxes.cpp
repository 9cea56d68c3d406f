#include "hosts/gtk/MessageBoxes.h"

#include <algorithm>

namespace platform {
namespace gtk {

GtkMessageType messageTypeOf(UINT type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONHAND:
      return GTK_MESSAGE_ERROR;
    case MB_ICONQUESTION:
      return GTK_MESSAGE_QUESTION;
    case MB_ICONEXCLAMATION:
      return GTK_MESSAGE_WARNING;
    case MB_ICONASTERISK:
      return GTK_MESSAGE_INFO;
    default:
      return GTK_MESSAGE_OTHER;
  }
}

const char* buttonLabel(int button) {
  switch (button) {
    case IDOK:
      return "_OK";
    case IDCANCEL:
      return "_Cancel";
    case IDABORT:
      return "_Abort";
    case IDRETRY:
      return "_Retry";
    case IDIGNORE:
      return "_Ignore";
    case IDYES:
      return "_Yes";
    case IDNO:
      return "_No";
    case IDTRYAGAIN:
      return "_Try Again";
    case IDCONTINUE:
      return "C_ontinue";
    default:
      return "?";
  }
}

int closingButton(const std::vector<int>& buttons) {
  return std::find(buttons.begin(), buttons.end(), IDCANCEL) != buttons.end() ? IDCANCEL : IDOK;
}

int endingButton(const std::vector<int>& buttons) {
  int closing = closingButton(buttons);
  if (buttons.empty() || std::find(buttons.begin(), buttons.end(), closing) != buttons.end()) {
    return closing;
  }
  return buttons.back();
}

MessageBoxes::~MessageBoxes() {
  while (!open_.empty()) {
    closeInnermost();
  }
}

// The first button is the default one, as in a Win32 box: Return presses it.
void MessageBoxes::open(const MessageBoxView& box) {
  if (answeringAll_) {
    open_.push_back(Open{nullptr, box.buttons});
    press(endingButton(box.buttons));
    return;
  }
  GtkWindow* below = open_.empty() || !open_.back().dialog ? nullptr : GTK_WINDOW(open_.back().dialog);
  GtkWidget* dialog = gtk_message_dialog_new(below, GTK_DIALOG_DESTROY_WITH_PARENT, messageTypeOf(box.type),
                                             GTK_BUTTONS_NONE, "%s", box.text.c_str());
  gtk_window_set_title(GTK_WINDOW(dialog), box.caption.c_str());
  gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
  gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER);
  for (int button : box.buttons) {
    gtk_dialog_add_button(GTK_DIALOG(dialog), buttonLabel(button), button);
  }
  if (!box.buttons.empty()) {
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), box.buttons.front());
  }
  g_signal_connect(dialog, "response", G_CALLBACK(onResponse), this);
  g_signal_connect(dialog, "key-press-event", G_CALLBACK(onKey), this);
  open_.push_back(Open{dialog, box.buttons});
  gtk_widget_show_all(dialog);
  gtk_window_present(GTK_WINDOW(dialog));
}

void MessageBoxes::closeInnermost() {
  if (open_.empty()) {
    return;
  }
  GtkWidget* dialog = open_.back().dialog;
  open_.pop_back();
  if (dialog) {
    g_signal_handlers_disconnect_by_data(dialog, this);
    gtk_widget_destroy(dialog);
  }
}

// Each press closes the innermost box open when it is delivered, so one a
// box, in order, answers them all.
void MessageBoxes::answerAllFromNowOn() {
  answeringAll_ = true;
  for (auto box = open_.rbegin(); box != open_.rend(); ++box) {
    press(endingButton(box->buttons));
  }
}

// Return presses the focused button, else the default one, at once: a
// GTK button pressed by a key waits for the key to come up, and a
// virtual keyboard that goes away before that (wtype) leaves it unpressed.
gboolean MessageBoxes::onKey(GtkWidget* widget, GdkEventKey* event, gpointer) {
  if (event->keyval != GDK_KEY_Return && event->keyval != GDK_KEY_KP_Enter) {
    return FALSE;
  }
  GtkDialog* dialog = GTK_DIALOG(widget);
  GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(widget));
  gint response = focus && GTK_IS_BUTTON(focus) ? gtk_dialog_get_response_for_widget(dialog, focus) : GTK_RESPONSE_NONE;
  if (response == GTK_RESPONSE_NONE) {
    GtkWidget* fallback = gtk_window_get_default_widget(GTK_WINDOW(widget));
    response = fallback ? gtk_dialog_get_response_for_widget(dialog, fallback) : GTK_RESPONSE_NONE;
  }
  if (response == GTK_RESPONSE_NONE) {
    return FALSE;
  }
  gtk_dialog_response(dialog, response);
  return TRUE;
}

// Only the innermost box takes input, as a Win32 box disables what is
// below it; a closed window is its closing button.
void MessageBoxes::onResponse(GtkDialog* dialog, gint response, gpointer self) {
  MessageBoxes& boxes = *static_cast<MessageBoxes*>(self);
  if (boxes.open_.empty() || GTK_WIDGET(dialog) != boxes.open_.back().dialog) {
    return;
  }
  const std::vector<int>& buttons = boxes.open_.back().buttons;
  int button = response;
  if (std::find(buttons.begin(), buttons.end(), response) == buttons.end()) {
    button = closingButton(buttons);
  }
  // A Yes/No box cannot be closed without an answer, as in Win32.
  if (std::find(buttons.begin(), buttons.end(), button) != buttons.end()) {
    boxes.press(button);
  }
}

void MessageBoxes::press(int button) {
// GCC 12 at -O2 and above takes the string of another alternative of the
// event variant for uninitialized when this one is moved into the queue
// (the Release build of the Debian package shows it); it is not read.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
  input_.push(input::PressMessageBoxButton{button});
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
}

}  // namespace gtk
}  // namespace platform
