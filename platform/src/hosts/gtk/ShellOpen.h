// Opening a file with the desktop's shell, as the "open" verb does on
// Windows: what the file is decides how it opens.
#pragma once

#include <platform/host.h>

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

// What the path (absolute, or relative to the current directory) names.
ShellTarget classify(const std::string& path);

// Opens it; gives 0, or the Win32 error ShellExecuteA reports, with the
// reason in `why`.
DWORD openWithShell(const ShellRequest& request, std::string& why);

}  // namespace gtk
}  // namespace platform
