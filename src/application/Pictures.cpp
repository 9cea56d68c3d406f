// The picture step of the load and the unload: one picture window per
// system/image element, in document order.
#include <cstdio>
#include <vector>

#include "application/ChildWindow.h"
#include "application/ParentWindow.h"
#include "application/PictureSettings.h"
#include "lib/winapi/PendingException.h"

// The list of elements is fixed before the first picture is made, since a
// picture's failure box lets the user act while the load waits. What an
// element leaves out is given its value by readPictureSettings; a missing
// path is a picture that fails to load.
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
    PictureSettings picture = readPictureSettings(*image);
    childWindows_.push_back(new ChildWindow(pWindow_->hWnd_, className, picture.path, picture.x, picture.y,
                                            picture.width, picture.height, picture.color));
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
