// Multimedia timer resolution, the part of winmm the program uses.
#pragma once

#include <windows.h>

typedef UINT MMRESULT;

#define TIMERR_BASE 96
#define TIMERR_NOERROR 0
#define TIMERR_NOCANDO (TIMERR_BASE + 1)

extern "C" {
MMRESULT WINAPI timeBeginPeriod(UINT period);
MMRESULT WINAPI timeEndPeriod(UINT period);
}
