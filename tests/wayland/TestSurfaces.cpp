// Surfaces of the test's own on a Wayland desktop, one per run:
//
//   wayland_test_surfaces below X Y WIDTH HEIGHT
//       a white surface on the background layer, below every window and
//       picture, at that place of the first output
//   wayland_test_surfaces window RRGGBB
//       a normal window in that colour, where the compositor puts it
//
// It says "shown" on its standard output once drawn, and "pressed" at each
// button press it gets.
#include <gtk/gtk.h>
#include <gtk-layer-shell.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

double red = 1, green = 1, blue = 1;
bool said = false;

gboolean draw(GtkWidget*, cairo_t* cairo, gpointer) {
  cairo_set_source_rgb(cairo, red, green, blue);
  cairo_paint(cairo);
  if (!said) {
    said = true;
    std::puts("shown");
  }
  return FALSE;
}

gboolean pressed(GtkWidget*, GdkEventButton*, gpointer) {
  std::puts("pressed");
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  setvbuf(stdout, nullptr, _IOLBF, 0);
  gtk_init(&argc, &argv);
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  if (argc == 6 && std::strcmp(argv[1], "below") == 0) {
    gtk_layer_init_for_window(GTK_WINDOW(window));
    gtk_layer_set_layer(GTK_WINDOW(window), GTK_LAYER_SHELL_LAYER_BACKGROUND);
    gtk_layer_set_namespace(GTK_WINDOW(window), "tessaline-test");
    gtk_layer_set_anchor(GTK_WINDOW(window), GTK_LAYER_SHELL_EDGE_LEFT, TRUE);
    gtk_layer_set_anchor(GTK_WINDOW(window), GTK_LAYER_SHELL_EDGE_TOP, TRUE);
    gtk_layer_set_exclusive_zone(GTK_WINDOW(window), -1);
    gtk_layer_set_margin(GTK_WINDOW(window), GTK_LAYER_SHELL_EDGE_LEFT, std::atoi(argv[2]));
    gtk_layer_set_margin(GTK_WINDOW(window), GTK_LAYER_SHELL_EDGE_TOP, std::atoi(argv[3]));
    gtk_widget_set_size_request(window, std::atoi(argv[4]), std::atoi(argv[5]));
  } else if (argc == 3 && std::strcmp(argv[1], "window") == 0) {
    unsigned long colour = std::strtoul(argv[2], nullptr, 16);
    red = (colour >> 16 & 0xFF) / 255.0;
    green = (colour >> 8 & 0xFF) / 255.0;
    blue = (colour & 0xFF) / 255.0;
    gtk_window_set_title(GTK_WINDOW(window), "tessaline-test");
  } else {
    std::fprintf(stderr, "usage: %s below X Y WIDTH HEIGHT | window RRGGBB\n", argv[0]);
    return 2;
  }
  gtk_widget_set_app_paintable(window, TRUE);
  gtk_widget_add_events(window, GDK_BUTTON_PRESS_MASK);
  g_signal_connect(window, "draw", G_CALLBACK(draw), nullptr);
  g_signal_connect(window, "button-press-event", G_CALLBACK(pressed), nullptr);
  g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
  gtk_widget_show_all(window);
  gtk_main();
  return 0;
}
