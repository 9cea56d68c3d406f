// The Z order and the rules of owned windows.
#include "core/WindowNotice.h"
#include "core/ZOrder.h"

#include <algorithm>

namespace platform {
namespace zorder {

namespace {

bool isOwnedBy(HWND window, HWND owner) {
  for (Window* record = findWindowRecord(window); record && record->owner; record = findWindowRecord(record->owner)) {
    if (record->owner == owner) {
      return true;
    }
  }
  return false;
}

// The window and every window it owns, directly or not, top first; the
// window itself last, below the windows it owns.
std::vector<HWND> ownedGroup(HWND window) {
  std::vector<HWND> group;
  Window* record = findWindowRecord(window);
  if (record && record->ownedWindows > 0) {
    for (HWND candidate : theDesktop().zOrder) {
      if (isOwnedBy(candidate, window)) {
        group.push_back(candidate);
      }
    }
  }
  group.push_back(window);
  return group;
}

std::vector<HWND>::iterator topOfBand(bool topmost) {
  std::vector<HWND>& zOrder = theDesktop().zOrder;
  return topmost ? zOrder.begin() : std::find_if_not(zOrder.begin(), zOrder.end(), isTopmost);
}

// Takes the group out and puts it back, in its order, at the top of the band.
void moveGroupToTop(const std::vector<HWND>& group, bool topmost) {
  std::vector<HWND>& zOrder = theDesktop().zOrder;
  if (group.size() == 1) {
    removeWindow(group.front());
  } else {
    // Sorted for the look-up: the owner window's group may hold thousands.
    std::vector<HWND> members(group);
    std::sort(members.begin(), members.end());
    zOrder.erase(std::remove_if(zOrder.begin(), zOrder.end(),
                                [&members](HWND window) { return std::binary_search(members.begin(), members.end(), window); }),
                 zOrder.end());
  }
  zOrder.insert(topOfBand(topmost), group.begin(), group.end());
  for (HWND window : group) {
    tellHost(*findWindowRecord(window), WindowChange::zOrder);
  }
}

}  // namespace

bool isTopmost(HWND window) {
  Window* record = findWindowRecord(window);
  return record && (record->exStyle & WS_EX_TOPMOST);
}

void addNewWindow(Window& window) {
  if (isTopmost(window.owner)) {
    window.exStyle |= WS_EX_TOPMOST;
  }
  std::vector<HWND>& zOrder = theDesktop().zOrder;
  zOrder.insert(topOfBand((window.exStyle & WS_EX_TOPMOST) != 0), window.handle);
}

// A window is in the Z order once.
void removeWindow(HWND window) {
  std::vector<HWND>& zOrder = theDesktop().zOrder;
  std::vector<HWND>::iterator place = std::find(zOrder.begin(), zOrder.end(), window);
  if (place != zOrder.end()) {
    zOrder.erase(place);
  }
}

void bringToTop(HWND window) { moveGroupToTop(ownedGroup(window), isTopmost(window)); }

void setTopmost(HWND window, bool topmost) {
  if (!topmost && !isTopmost(window)) {
    return;
  }
  std::vector<HWND> group = ownedGroup(window);
  for (HWND member : group) {
    Window* record = findWindowRecord(member);
    record->exStyle = topmost ? (record->exStyle | WS_EX_TOPMOST) : (record->exStyle & ~static_cast<DWORD>(WS_EX_TOPMOST));
  }
  moveGroupToTop(group, topmost);
}

void setVisible(Window& window, bool visible) {
  if (((window.style & WS_VISIBLE) != 0) == visible) {
    return;
  }
  window.style = visible ? (window.style | WS_VISIBLE) : (window.style & ~static_cast<DWORD>(WS_VISIBLE));
  tellHost(window, visible ? WindowChange::shown : WindowChange::hidden);
}

void hideOwnedWindows(HWND owner) {
  for (HWND window : theDesktop().zOrder) {
    Window* record = findWindowRecord(window);
    if (record->owner == owner && (record->style & WS_VISIBLE)) {
      record->hiddenWithOwner = true;
      setVisible(*record, false);
    }
  }
}

void showOwnedWindows(HWND owner) {
  for (HWND window : theDesktop().zOrder) {
    Window* record = findWindowRecord(window);
    if (record->owner == owner && record->hiddenWithOwner) {
      record->hiddenWithOwner = false;
      setVisible(*record, true);
    }
  }
}

}  // namespace zorder
}  // namespace platform
