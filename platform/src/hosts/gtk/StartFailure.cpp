// The one box shown before the program's own loop exists: nothing else
// waits for input then, so GTK's own loop runs it.
#include <platform/gtk.h>

#include <gtk/gtk.h>

namespace platform {
namespace gtk {

bool showStartFailure(const std::string& text) {
  gdk_set_allowed_backends("wayland,x11");
  if (!gtk_init_check(nullptr, nullptr)) {
    return false;
  }
  GtkWidget* dialog =
      gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_ERROR, GTK_BUTTONS_OK, "%s", text.c_str());
  gtk_window_set_title(GTK_WINDOW(dialog), "Tessaline");
  gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER);
  gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
  gtk_dialog_run(GTK_DIALOG(dialog));
  gtk_widget_destroy(dialog);
  while (gtk_events_pending()) {
    gtk_main_iteration();
  }
  return true;
}

}  // namespace gtk
}  // namespace platform
