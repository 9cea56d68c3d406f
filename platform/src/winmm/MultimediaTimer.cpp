// winmm's timer resolution. The model only counts the periods in force; it
// changes no clock.
#include "core/Desktop.h"

#include <mmsystem.h>

#include <algorithm>

namespace {

// The range winmm reports through timeGetDevCaps.
const UINT kShortestPeriod = 1;
const UINT kLongestPeriod = 1000000;

bool isValidPeriod(UINT period) { return period >= kShortestPeriod && period <= kLongestPeriod; }

}  // namespace

extern "C" {

MMRESULT WINAPI timeBeginPeriod(UINT period) {
  if (!isValidPeriod(period)) {
    return TIMERR_NOCANDO;
  }
  platform::theDesktop().timerPeriods.push_back(period);
  return TIMERR_NOERROR;
}

// Ends one timeBeginPeriod of the same period; without one there is nothing
// to end.
MMRESULT WINAPI timeEndPeriod(UINT period) {
  std::vector<UINT>& periods = platform::theDesktop().timerPeriods;
  auto found = std::find(periods.begin(), periods.end(), period);
  if (!isValidPeriod(period) || found == periods.end()) {
    return TIMERR_NOCANDO;
  }
  periods.erase(found);
  return TIMERR_NOERROR;
}

}  // extern "C"

namespace platform {
namespace desktop {

int timerPeriodsInForce() { return static_cast<int>(theDesktop().timerPeriods.size()); }

}  // namespace desktop
}  // namespace platform
