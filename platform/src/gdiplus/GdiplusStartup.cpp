// GDI+'s start-up and shut-down: the desktop knows whether GDI+ runs, so
// tests can see that it starts before the first picture and stops after
// the last, and how many of its objects are left.
#include <gdiplus.h>

#include <algorithm>

#include "gdiplus/GdiplusObjects.h"

namespace {

ULONG_PTR newToken() {
  static ULONG_PTR next = 0x1000;
  return next++;
}

}  // namespace

namespace Gdiplus {

Status WINAPI GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input, GdiplusStartupOutput* output) {
  if (!token || !input) {
    return InvalidParameter;
  }
  if (input->GdiplusVersion != 1) {
    return UnsupportedGdiplusVersion;
  }
  if (input->SuppressBackgroundThread && !output) {
    return InvalidParameter;
  }
  if (output) {
    output->NotificationHook = NULL;
    output->NotificationUnhook = NULL;
  }
  *token = newToken();
  platform::theDesktop().gdiplusTokens.push_back(*token);
  return Ok;
}

void WINAPI GdiplusShutdown(ULONG_PTR token) {
  std::vector<ULONG_PTR>& tokens = platform::theDesktop().gdiplusTokens;
  tokens.erase(std::remove(tokens.begin(), tokens.end(), token), tokens.end());
}

}  // namespace Gdiplus

namespace platform {

bool gdiplusStarted() { return !theDesktop().gdiplusTokens.empty(); }

namespace desktop {

bool gdiplusRunning() { return gdiplusStarted(); }

GdiplusObjectCounts liveGdiplusObjects() {
  const HandleTable& handles = theDesktop().handles;
  return GdiplusObjectCounts{handles.count(HandleKind::gdiplusImage), handles.count(HandleKind::gdiplusGraphics),
                             handles.count(HandleKind::gdiplusImageAttributes)};
}

}  // namespace desktop
}  // namespace platform
