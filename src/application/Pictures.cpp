// The picture step of the load and the unload: one picture window per
// system/image element, in document order.
#include <cstdio>
#include <optional>
#include <vector>

#include "application/ChildWindow.h"
#include "application/ParentWindow.h"
#include "application/SettingsNumber.h"
#include "lib/winapi/PendingException.h"

namespace {

const std::uint32_t kUntinted = 0xFFFFFFFF;

// A number of the image element, or `missing` when it has no such attribute.
std::uint32_t numberOf(lib::xerces::XMLElement* image, const char* name, std::uint32_t missing) {
  const char* text = image->getAttribute(name);
  return text != NULL ? parseSettingsNumber(text) : missing;
}

// A size of the image element, or none when it has no such attribute: every
// number the attribute can hold is a size it gives.
std::optional<int> sizeOf(lib::xerces::XMLElement* image, const char* name) {
  const char* text = image->getAttribute(name);
  return text != NULL ? std::optional<int>(static_cast<int>(parseSettingsNumber(text))) : std::nullopt;
}

}  // namespace

// The list of elements is fixed before the first picture is made, since a
// picture's failure box lets the user act while the load waits. A missing
// x or y is 0, a missing w or h the picture's own size, a missing color
// untinted and opaque, a missing path a picture that fails to load.
void ParentWindow::createChildWindows() {
  std::vector<lib::xerces::XMLElement*> images;
  for (int index = 0;; ++index) {
    char path[256];
    std::snprintf(path, sizeof path, "system/image:%d", index);
    lib::xerces::XMLElement* image = xmlManager_.findElement(path);
    if (image == NULL) {
      break;
    }
    images.push_back(image);
  }
  for (std::size_t index = 0; index < images.size(); ++index) {
    lib::xerces::XMLElement* image = images[index];
    char className[256];
    std::snprintf(className, sizeof className, "ChildWindow%d", static_cast<int>(index));
    int x = static_cast<int>(numberOf(image, "x", 0));
    int y = static_cast<int>(numberOf(image, "y", 0));
    std::uint32_t color = numberOf(image, "color", kUntinted);
    childWindows_.push_back(new ChildWindow(pWindow_->hWnd_, className, image->getAttribute("path"), x, y,
                                            sizeOf(image, "w"), sizeOf(image, "h"), color));
  }
}

// Each window goes before its object, so that the object's class can be
// unregistered. At exit the windows went with the owner window already.
void ParentWindow::destroyChildWindows() {
  for (ChildWindow* child : childWindows_) {
    lib::winapi::rethrowPendingExceptionAfter(DestroyWindow(child->hWnd_));
    delete child;
  }
  childWindows_.clear();
}
