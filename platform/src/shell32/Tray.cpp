// shell32's Shell_NotifyIconA: the notification area's icons, keyed by
// window and id. The icon's window hears of the mouse through its callback
// message, as the shell posts it.
#include "shell32/Tray.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>

namespace {

std::vector<platform::desktop::TrayIcon>::iterator findIcon(HWND window, UINT id) {
  std::vector<platform::desktop::TrayIcon>& icons = platform::theDesktop().trayIcons;
  return std::find_if(icons.begin(), icons.end(), [window, id](const platform::desktop::TrayIcon& icon) {
    return icon.window == window && icon.id == id;
  });
}

// Takes what the record's flags say is valid; the tip is read up to its
// terminator within its field.
void applyRecord(platform::desktop::TrayIcon& icon, const NOTIFYICONDATAA& data) {
  icon.flags |= data.uFlags & (NIF_MESSAGE | NIF_ICON | NIF_TIP);
  if (data.uFlags & NIF_MESSAGE) {
    icon.callbackMessage = data.uCallbackMessage;
  }
  if (data.uFlags & NIF_ICON) {
    icon.icon = data.hIcon;
  }
  if (data.uFlags & NIF_TIP) {
    icon.tip.assign(data.szTip, strnlen(data.szTip, sizeof data.szTip));
  }
}

// The host is shown every icon as it is now, with its picture.
void tellHost() {
  std::vector<platform::TrayIconView> views;
  for (const platform::desktop::TrayIcon& icon : platform::theDesktop().trayIcons) {
    platform::TrayIconView view{icon.window, icon.id, 0, 0, {}, icon.tip};
    if (const platform::desktop::IconImage* image = platform::desktop::iconImage(icon.icon)) {
      view.width = image->width;
      view.height = image->height;
      view.pixels = image->pixels;
    }
    views.push_back(view);
  }
  platform::theDesktop().host->trayIconsChanged(views);
}

}  // namespace

namespace platform {

void removeTrayIconsOf(HWND window) {
  std::vector<desktop::TrayIcon>& icons = theDesktop().trayIcons;
  std::size_t before = icons.size();
  icons.erase(std::remove_if(icons.begin(), icons.end(),
                             [window](const desktop::TrayIcon& icon) { return icon.window == window; }),
              icons.end());
  if (icons.size() != before) {
    tellHost();
  }
}

std::string clickTrayIcon(const input::TrayIconMouse& mouse) {
  Desktop& desktop = theDesktop();
  if (desktop.trayIcons.empty()) {
    return "a tray icon is clicked but there is none";
  }
  auto icon = mouse.window ? findIcon(mouse.window, mouse.id) : desktop.trayIcons.begin();
  if (icon == desktop.trayIcons.end()) {
    return "a tray icon is clicked that does not exist";
  }
  if (icon->flags & NIF_MESSAGE) {
    PostMessageA(icon->window, icon->callbackMessage, icon->id, static_cast<LPARAM>(mouse.mouseMessage));
  }
  return "";
}

namespace desktop {

std::vector<TrayIcon> trayIcons() { return theDesktop().trayIcons; }

}  // namespace desktop

}  // namespace platform

extern "C" BOOL WINAPI Shell_NotifyIconA(DWORD message, PNOTIFYICONDATAA data) {
  if (!data || !platform::findWindowRecord(data->hWnd)) {
    return FALSE;
  }
  auto icon = findIcon(data->hWnd, data->uID);
  platform::Desktop& desktop = platform::theDesktop();
  switch (message) {
    case NIM_ADD: {
      if (icon != desktop.trayIcons.end()) {
        return FALSE;
      }
      platform::desktop::TrayIcon added{data->hWnd, data->uID, 0, 0, NULL, ""};
      applyRecord(added, *data);
      desktop.trayIcons.push_back(added);
      break;
    }
    case NIM_MODIFY:
      if (icon == desktop.trayIcons.end()) {
        return FALSE;
      }
      applyRecord(*icon, *data);
      break;
    case NIM_DELETE:
      if (icon == desktop.trayIcons.end()) {
        return FALSE;
      }
      desktop.trayIcons.erase(icon);
      break;
    default:
      return FALSE;
  }
  tellHost();
  return TRUE;
}
