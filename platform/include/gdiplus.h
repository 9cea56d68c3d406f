// GDI+ as far as the program uses it: the start-up record so far.
#pragma once

#include <windows.h>

namespace Gdiplus {

enum DebugEventLevel { DebugEventLevelFatal, DebugEventLevelWarning };
typedef void(WINAPI* DebugEventProc)(DebugEventLevel level, CHAR* message);

struct GdiplusStartupInput {
  UINT32 GdiplusVersion;
  DebugEventProc DebugEventCallback;
  BOOL SuppressBackgroundThread;
  BOOL SuppressExternalCodecs;

  GdiplusStartupInput(DebugEventProc debugEventCallback = NULL, BOOL suppressBackgroundThread = FALSE,
                      BOOL suppressExternalCodecs = FALSE)
      : GdiplusVersion(1),
        DebugEventCallback(debugEventCallback),
        SuppressBackgroundThread(suppressBackgroundThread),
        SuppressExternalCodecs(suppressExternalCodecs) {}
};

}  // namespace Gdiplus
