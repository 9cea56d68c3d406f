#include "hosts/gtk/Mnemonics.h"

namespace platform {
namespace gtk {

// A "&" at the end marks nothing and is dropped, as Win32 draws it.
std::string mnemonicLabel(const std::string& win32Text) {
  std::string label;
  for (std::size_t index = 0; index < win32Text.size(); ++index) {
    char character = win32Text[index];
    if (character == '_') {
      label += "__";
    } else if (character != '&') {
      label += character;
    } else if (index + 1 < win32Text.size() && win32Text[index + 1] == '&') {
      label += '&';
      ++index;
    } else if (index + 1 < win32Text.size()) {
      label += '_';
    }
  }
  return label;
}

}  // namespace gtk
}  // namespace platform
