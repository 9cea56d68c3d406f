// The Linux program's host on a real display (GTK 3): an X11 display, or a
// Wayland compositor with the layer shell.
#pragma once

#include <functional>
#include <string>

namespace platform {
namespace gtk {

// Chooses the display (a Wayland compositor with the layer shell, else
// X11; TESSALINE_BACKEND=x11|wayland forces one), opens it and makes its
// host the desktop's host. False, with the reason in `why`, when there is
// none to open (GTK's own command-line options are taken out of argc and
// argv).
bool installHost(int& argc, char**& argv, std::string& why);

// The host installHost would choose here: "wayland", "x11" or "none".
std::string hostName();

// Runs `action` where the program waits for input, after the signal
// (SIGTERM, SIGINT, SIGHUP...) has come; the signal no longer ends the
// process by itself. Only after installHost.
void onSignal(int signalNumber, std::function<void()> action);

// The program is ending: every message box, open now or opened later, is
// answered as its closing button would answer it (Cancel, else OK), so no
// question holds the end up. Only after installHost.
void answerMessageBoxesFromNowOn();

// For a failure that ends the program before its loop runs, when nobody may
// read standard error (a start from the desktop's menu): shows `text` in a
// box and returns once the user has closed it. False when there is no
// display to show it on.
bool showStartFailure(const std::string& text);

}  // namespace gtk
}  // namespace platform
