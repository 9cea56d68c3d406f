// Menu texts as GTK shows them: Win32 marks the accelerator with "&" ("&&"
// is a literal "&"), GTK with "_" ("__" is a literal "_").
#pragma once

#include <string>

namespace platform {
namespace gtk {

std::string mnemonicLabel(const std::string& win32Text);

}  // namespace gtk
}  // namespace platform
