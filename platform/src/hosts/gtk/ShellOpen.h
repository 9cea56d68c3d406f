// Opening a file with the desktop's shell, as the "open" verb does on
// Windows: what the file is decides how it opens.
#pragma once

#include <platform/host.h>

#include <gio/gio.h>

#include <string>

namespace platform {
namespace gtk {

enum class ShellTarget {
  uri,          // has a scheme ("https:", "mailto:"...): its default handler
  desktopFile,  // a .desktop entry: launched as the desktop launches it
  folder,       // opened in the file manager
  executable,   // run with the parameters, in its folder or the given one
  document,     // opened in the default application for its type
  missing,      // nothing of that name
};

// Where the shell finds `file`, as ShellExecute does: a path with a folder
// is taken relative to `directory` (the current one when empty); a bare
// name is looked for there first, then on PATH. A URI stays as it is.
std::string locate(const std::string& file, const std::string& directory);

// What the path (absolute, or relative to the current directory) names.
ShellTarget classify(const std::string& path);

// Opens it; gives 0, or the Win32 error ShellExecuteA reports, with the
// reason in `why`. What opens runs in a session of its own, so it outlives
// the program and a Ctrl+C in the program's terminal, and is launched in
// `context` (startup notification, the user's time; null without a
// display). Programs found by their handler (URIs, documents, folders) are
// looked up without waiting: a failure there is said on standard error
// later.
DWORD openWithShell(const ShellRequest& request, GAppLaunchContext* context, std::string& why);

}  // namespace gtk
}  // namespace platform
