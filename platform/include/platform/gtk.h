// The Linux program's host on a real X11 display (GTK 3).
#pragma once

#include <functional>
#include <string>

namespace platform {
namespace gtk {

// Opens the display and makes the GTK host the desktop's host. False, with
// the reason in `why`, when there is no X11 display to open (GTK's own
// command-line options are taken out of argc and argv).
bool installHost(int& argc, char**& argv, std::string& why);

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
